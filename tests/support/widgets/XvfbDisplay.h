#pragma once
// A private X display for tests of the program as the desktop runs it: an Xvfb server on a
// display number of its own choosing (no TCP), and what a window manager does with the
// program's windows: find a shown top-level window by its title, and ask it to close
// (WM_DELETE_WINDOW, as a title bar's close button does).
#include <QProcess>
#include <optional>
#include <string>

namespace widgettest {

class XvfbDisplay {
 public:
  XvfbDisplay() = default;
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  // Why no display can be started here (Xvfb not installed); empty when one can.
  std::string SkipReason() const;
  // Starts the server and waits (at most 10 s) until it names its display.
  bool Start();
  // ":<number>", for DISPLAY.
  const std::string& Name() const { return name_; }

  // Whether a mapped top-level window of this title is on the display.
  bool WindowShown(const std::string& title) const;
  // Sends the close request to the mapped top-level window of this title; false without one.
  bool RequestClose(const std::string& title) const;

 private:
  QProcess server_;
  std::string name_;
};

}  // namespace widgettest
