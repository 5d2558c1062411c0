// A library of ours that imports plant_probe.dll, as a maker's library may
// import one of its own that lies beside it.
#include <windows.h>

extern "C" __declspec(dllimport) int PlantProbeMark();

extern "C" __declspec(dllexport) int PlantUserMark() { return PlantProbeMark() + 1; }
