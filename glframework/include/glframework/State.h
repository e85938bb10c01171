#pragma once

// One screen of the program. Every window event reaches the game through the
// current screen's operations; a screen overrides only what it needs, the
// base versions do nothing (and the three bool operations return true).
// Mouse and key arguments are GLUT's own, unchanged: pixels from the window's
// top-left corner, GLUT button, state and key codes.
class State
{
public:
    // name: the screen's name, not owned; it must outlive the screen.
    explicit State(const char* name);
    virtual ~State();

    // Called by changeState on the screen being entered; previous is the screen
    // that was current (null on the first switch). The result is ignored.
    virtual bool enter(State* previous);
    // Asked by changeState of the current screen; false refuses the switch.
    virtual bool canLeave(State* next);
    // Called by changeState on the screen being left. The result is ignored.
    virtual bool leave(State* next);
    // Draws the screen; the model-view matrix is current and pushed around it.
    virtual void draw();
    // Advances the screen by one frame; the step is read with getFrameDelta.
    virtual void update();
    virtual void mouseButton(int button, int state, int x, int y);
    // Pointer moved with a button held.
    virtual void mouseDrag(int x, int y);
    // Pointer moved with no button held.
    virtual void mouseMove(int x, int y);
    virtual void keyDown(unsigned char key, int x, int y);
    virtual void keyUp(unsigned char key, int x, int y);
    virtual void specialKeyDown(int key, int x, int y);
    virtual void specialKeyUp(int key, int x, int y);

    // The name given to the constructor.
    const char* getName() const;

protected:
    const char* name;
};

// The current screen; null until the first switch. Written only by changeState.
extern State* currentState;

// Switches to next (never null): asks the current screen's canLeave, calls its
// leave, then next's enter with the still-current screen, then makes next
// current. Returns false, changing nothing, when the current screen refuses.
bool changeState(State* next);
