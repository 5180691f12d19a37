#include "cli/run_options.h"

RunOptionsRecord RunOptions;
std::string CurrentName;
