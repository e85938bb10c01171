#pragma once

// Opens one GLUT window with a GL context for the whole test binary (the
// tests run under Xvfb) and makes it current. Safe to call repeatedly.
void ensureGlTestWindow();

// Lets GLUT process pending window-system events for about the given time,
// so that requested window sizes take effect.
void pumpGlutEvents(double seconds);
