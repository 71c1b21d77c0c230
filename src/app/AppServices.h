#pragma once

class QApplication;

// The one place that picks the Linux implementations of the platform layer,
// connects the services to each other and runs the application.
namespace AppServices {
// The application's version ("?" is shown where it is missing).
const char* version();
// Single instance, wiring, launch sequence and event loop; the exit status.
int run(QApplication& app);
}  // namespace AppServices
