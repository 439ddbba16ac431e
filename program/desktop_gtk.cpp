#include "platform/linux/linux_platform.h"
#include "program/desktop.h"
#include "ui/backend/gtk/gtk_backend.h"

namespace {

// GTK 3 on X11 with the services of the Linux machine.
class GtkDesktop : public DesktopBackend {
 public:
  explicit GtkDesktop(std::unique_ptr<ui::gtk::GtkBackend> port) : port_(std::move(port)) {}
  ui::Backend& backend() override { return *port_; }
  ui::UserActions& user() override { return *port_; }
  platform::Platform& services() override { return services_.Get(); }

 private:
  // The services outlive the port: windows that go with it may still wait
  // for workers that use them.
  platform::linuxos::LinuxPlatform services_;
  std::unique_ptr<ui::gtk::GtkBackend> port_;
};

}  // namespace

std::unique_ptr<DesktopBackend> DesktopBackend::Make(int& argc, char**& argv, std::string& why) {
  auto port = ui::gtk::CreateGtkBackend(argc, argv);
  if (!port) {
    why =
        "cannot open a display (is DISPLAY set?); run it in a desktop session, "
        "or under xvfb-run for a virtual one";
    return nullptr;
  }
  return std::make_unique<GtkDesktop>(std::move(port));
}
