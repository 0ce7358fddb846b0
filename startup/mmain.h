// Start-up: the password, the single instance, the language test, the first-run installer.
#pragma once

namespace pelorin::startup::MMain {

// Decides which one window this start shows, shows it without waiting, and returns.
void Main();

} // namespace pelorin::startup::MMain
