#pragma once

#include "EndState.h"
#include "LiveMode.h"
#include "StartState.h"

#include "glframework/Camera.h"

// The program-wide objects, constructed before main in this order: the camera,
// then the play, start and end screens. They live for the whole run.
extern Camera camera;
extern LiveMode liveMode;
extern StartState startState;
extern EndState endState;
