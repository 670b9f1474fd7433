#pragma once
// The drawing commands of densora-cli, which need Qt: `report` (the printed report as a
// PDF) and `chart` (the curve page's chart as a PNG).
namespace cli {

// Registers `report` and `chart`. The Qt application object is created only when one of
// them runs, on the offscreen platform when no display is available; `argc` and `argv` are
// handed to it.
void RegisterDrawingCommands(int argc, char** argv);

}  // namespace cli
