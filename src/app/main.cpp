// Densora, the desktop program.
#include "app/densora_app.h"

int main(int argc, char** argv) { return RunDensora(argc, argv); }
