#pragma once
// Resource identifiers of the configureview window.
