// The HID monitors' notifications, handed to the exchange as they come.
#include "ViewController.h"
#include "road/AdapterLink.h"

void ViewController::usbConnected(const platform::Notification& notification) {
  road::forwardConnected(notification, *exchange_);
}

void ViewController::usbDisconnected(const platform::Notification& notification) {
  road::forwardDisconnected(notification, *exchange_);
}

void ViewController::hidReadData(const platform::Notification& notification) {
  road::forwardReply(notification, *exchange_);
}

void ViewController::usbAccessDenied(const platform::Notification& notification) {
  road::forwardDenied(notification, *exchange_);
}
