#pragma once
// TCustomLineWSocket: delivers received data line by line while LineMode is on.
//
// Off by default, and then nothing passes through this layer. With LineMode on (and LineEnd
// not empty), received bytes collect in a line buffer; each complete line, terminator
// included, is offered through OnDataAvailable, where RcvdCount is its length and Receive or
// ReceiveStr return it. A handler that reads only part of a line is called again for the rest;
// one that reads nothing leaves the line offered again with the next bytes received (or at
// the close). A line without terminator is delivered when the connection closes.
//
// LineEcho sends every received byte back; LineEdit applies backspace (erases the previous
// byte, echoed as BS SP BS) and tab (spaces up to the next multiple of 8) before the lines are
// cut. Switching LineMode while bytes are buffered delivers them later, from the event loop
// (message WM_TRIGGER_DATA_AVAILABLE), in the new mode; with line mode off, reads are served
// from the buffer until it is empty. None of these properties is reset by a close.
#include <string>

#include "net/TlsWSocket.h"

class TCustomLineWSocket : public TCustomTlsWSocket {
 public:
  bool LineMode() const { return lineMode_; }
  virtual void SetLineMode(bool value);
  const std::string& LineEnd() const { return lineEnd_; }
  void SetLineEnd(const std::string& value) { lineEnd_ = value; }
  bool LineEcho() const { return lineEcho_; }
  void SetLineEcho(bool value) { lineEcho_ = value; }
  bool LineEdit() const { return lineEdit_; }
  void SetLineEdit(bool value) { lineEdit_ = value; }

  int32_t GetRcvdCount() override;
  bool HoldsReceivedData() const override { return Buffered() > 0 || TCustomTlsWSocket::HoldsReceivedData(); }

 protected:
  void HandleWindowMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
  int ReceiveRaw(void* buffer, int len, int flags) override;
  bool NotifyDataAvailable(uint16_t error) override;
  void NotifySessionClosed(uint16_t error) override;
  // Applies backspace and tab to the last `len` bytes of the line buffer (echoing when
  // LineEcho is on); afterwards `len` counts the bytes from the earliest position changed.
  virtual void EditLine(int32_t& len);

 private:
  bool LineModeActive() const { return lineMode_ && !lineEnd_.empty(); }
  int32_t ReadIntoBuffer();
  void Echo(const std::string& bytes);
  void DeliverLines(size_t searchFrom, uint16_t error);
  bool OfferPendingLine(uint16_t error);
  void OfferBufferedBytes();
  void DeliverBufferedBytes();
  size_t Buffered() const { return lineBuffer_.size() - head_; }
  size_t TakeFromBuffer(void* destination, size_t count);

  std::string lineBuffer_;  // from head_ on: received, not yet read; a pending line comes first
  size_t head_ = 0;         // bytes at the front already read, dropped at the next reception
  std::string lineEnd_ = "\r\n";
  bool lineMode_ = false;
  size_t pendingLength_ = 0;  // the line being offered, terminator included; 0 when none
  bool lineEcho_ = false;
  bool lineEdit_ = false;
};
