#pragma once
// Resource identifiers of the tasklist window.
