#include "LiveMode.h"

LiveMode::LiveMode(const char* name_) : State(name_) {}

LiveMode::~LiveMode() = default;
