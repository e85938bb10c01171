#include "Screens.h"

// Included for its side effect: the standard streams are set up before the
// objects below print from their constructors.
#include <iostream>

// Defined together in one file so that their construction order is fixed:
// the camera prints first, then the play screen sets up the sound.
Camera camera;
LiveMode liveMode("live");
StartState startState("start");
EndState endState("end");
