#pragma once
// What the library documents for the failure of each call it makes to an outside
// component, as patterns over the sites "<phase> | <call>" (faultinjection_runner.h).
#include <vector>
#include "faultinjection_runner.h"

namespace faultinjection {

// The To Do list shown by QRCTaskList: the step "Show" (and "Initialize").
const std::vector<Rule>& ToDoListRules();
// The client services object's methods, each its own step named after it.
const std::vector<Rule>& ClientServicesRules();

} // namespace faultinjection
