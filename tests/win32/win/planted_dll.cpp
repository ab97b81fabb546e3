// A DLL that lies beside the test program, as a planted one would lie beside
// a downloaded executable.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedMarker() {
  return 42;
}
