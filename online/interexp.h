#pragma once
#include "ui/controls.h"

namespace online {

// The web view a page binds to its browser control: navigate, back, forward
// and refresh, and the new-window event the page answers through its
// notifications.
class CInterexp : public ui::WebView {
 public:
  using ui::WebView::WebView;
};

}  // namespace online
