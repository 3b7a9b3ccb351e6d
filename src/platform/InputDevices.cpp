#include "platform/InputDevices.h"

namespace {

InputDeviceLayer* installedLayer;

}  // namespace

InputDeviceLayer* GetInputDeviceLayer() { return installedLayer ? installedLayer : SDLInputDeviceLayer(); }

InputDeviceLayer* SetInputDeviceLayer(InputDeviceLayer* layer) {
  InputDeviceLayer* previous = installedLayer;
  installedLayer = layer;
  return previous;
}
