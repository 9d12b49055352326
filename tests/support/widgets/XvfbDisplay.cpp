#include "support/widgets/XvfbDisplay.h"

#include <xcb/xcb.h>

#include <QThread>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace widgettest {

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string TextProperty(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property) {
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(x, xcb_get_property(x, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr),
      &std::free);
  if (!reply) return {};
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

bool Mapped(xcb_connection_t* x, xcb_window_t window) {
  std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> reply(
      xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr), &std::free);
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The mapped child of the root window whose title (the desktop's or the classic property) is
// `title`.
std::optional<xcb_window_t> FindWindow(xcb_connection_t* x, const std::string& title) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(x, xcb_query_tree(x, screen->root), nullptr), &std::free);
  if (!tree) return std::nullopt;
  const xcb_atom_t netName = Atom(x, "_NET_WM_NAME");
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    const xcb_window_t window = children[i];
    if (!Mapped(x, window)) continue;
    if (TextProperty(x, window, netName) == title || TextProperty(x, window, XCB_ATOM_WM_NAME) == title) return window;
  }
  return std::nullopt;
}

Connection Connect(const std::string& display) {
  Connection x(xcb_connect(display.c_str(), nullptr), &xcb_disconnect);
  if (xcb_connection_has_error(x.get())) x.reset();
  return x;
}

}  // namespace

XvfbDisplay::~XvfbDisplay() {
  if (server_.state() == QProcess::NotRunning) return;
  server_.terminate();
  if (!server_.waitForFinished(5000)) server_.kill();
  server_.waitForFinished(5000);
}

std::string XvfbDisplay::SkipReason() const {
  return std::filesystem::exists(kXvfb) ? std::string() : std::string(kXvfb) + " is not installed (package xvfb)";
}

bool XvfbDisplay::Start() {
  // -displayfd 1: the server picks a free display and writes its number to its output.
  // -noreset: the server stays as it is when its last client leaves (a probe of this class).
  server_.start(kXvfb, {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  if (!server_.waitForStarted(10000)) return false;
  QByteArray number;
  while (!number.contains('\n') && server_.waitForReadyRead(10000)) number += server_.readAllStandardOutput();
  if (!number.contains('\n')) return false;
  name_ = ":" + number.trimmed().toStdString();
  // The number may come a moment before the server takes connections.
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (Connect(name_)) return true;
    QThread::msleep(50);
  }
  return false;
}

bool XvfbDisplay::WindowShown(const std::string& title) const {
  const Connection x = Connect(name_);
  return x && FindWindow(x.get(), title).has_value();
}

bool XvfbDisplay::RequestClose(const std::string& title) const {
  const Connection x = Connect(name_);
  if (!x) return false;
  const std::optional<xcb_window_t> window = FindWindow(x.get(), title);
  if (!window) return false;
  xcb_client_message_event_t close{};
  close.response_type = XCB_CLIENT_MESSAGE;
  close.format = 32;
  close.window = *window;
  close.type = Atom(x.get(), "WM_PROTOCOLS");
  close.data.data32[0] = Atom(x.get(), "WM_DELETE_WINDOW");
  close.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(x.get(), 0, *window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
  return xcb_flush(x.get()) > 0;
}

}  // namespace widgettest
