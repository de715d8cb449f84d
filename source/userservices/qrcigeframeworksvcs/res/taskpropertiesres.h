#pragma once
// Resource identifiers of the taskproperties window.
