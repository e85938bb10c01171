#pragma once

#include "glframework/State.h"

#include <string>
#include <vector>

// A screen that records every call made on it into a shared journal, as
// "<name>.<operation>(<argument>)", and notes which screen was current when
// its enter ran.
class RecordingState : public State
{
public:
    RecordingState(const char* name_, std::vector<std::string>& journal_)
        : State(name_), journal(journal_)
    {
    }

    bool enter(State* previous) override
    {
        currentDuringEnter = currentState;
        record("enter", previous);
        return true;
    }
    bool canLeave(State* next) override
    {
        record("canLeave", next);
        return allowLeave;
    }
    bool leave(State* next) override
    {
        record("leave", next);
        return true;
    }
    void update() override { journal.push_back(std::string(name) + ".update"); }
    void draw() override { journal.push_back(std::string(name) + ".draw"); }
    void mouseButton(int button, int state, int x, int y) override
    {
        journal.push_back(std::string(name) + ".mouseButton(" + std::to_string(button) + "," +
                          std::to_string(state) + "," + std::to_string(x) + "," + std::to_string(y) + ")");
    }
    void mouseDrag(int x, int y) override
    {
        journal.push_back(std::string(name) + ".mouseDrag(" + std::to_string(x) + "," + std::to_string(y) + ")");
    }
    void mouseMove(int x, int y) override
    {
        journal.push_back(std::string(name) + ".mouseMove(" + std::to_string(x) + "," + std::to_string(y) + ")");
    }
    void keyDown(unsigned char key, int x, int y) override { recordKey("keyDown", key, x, y); }
    void keyUp(unsigned char key, int x, int y) override { recordKey("keyUp", key, x, y); }
    void specialKeyDown(int key, int x, int y) override { recordKey("specialKeyDown", key, x, y); }
    void specialKeyUp(int key, int x, int y) override { recordKey("specialKeyUp", key, x, y); }

    bool allowLeave = true;
    State* currentDuringEnter = nullptr;

private:
    void record(const char* operation, State* other)
    {
        journal.push_back(std::string(name) + "." + operation + "(" +
                          (other != nullptr ? other->getName() : "null") + ")");
    }
    void recordKey(const char* operation, int key, int x, int y)
    {
        journal.push_back(std::string(name) + "." + operation + "(" + std::to_string(key) + "," +
                          std::to_string(x) + "," + std::to_string(y) + ")");
    }

    std::vector<std::string>& journal;
};
