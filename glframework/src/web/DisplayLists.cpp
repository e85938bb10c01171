// The browser's OpenGL emulation has no display lists. Sprites build their
// unit quad once as a list and call it for every draw, so the four list
// calls they make are given here by a small recorder: between glNewList and
// glEndList the immediate-mode calls a list can hold (glBegin, glEnd,
// glTexCoord2f, glVertex3f) are kept instead of drawn, and glCallList plays
// them back. The linker routes those calls through the wrappers below
// (--wrap); outside a list they go straight on to the emulation.
//
// glNormal3f is routed here too, and dropped: the emulation misplaces the
// vertices of a shape that carries a normal, and with lighting never on a
// normal changes no pixel.

#include <GL/gl.h>

#include <vector>

extern "C"
{
void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glTexCoord2f(GLfloat s, GLfloat t);
void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
}

namespace
{
enum class Op
{
    Begin,
    End,
    TexCoord,
    Vertex
};

struct Call
{
    Op op;
    GLenum mode;
    GLfloat x, y, z;
};

// Every list made, by name - 1; lists are never deleted (sprites keep theirs
// for the whole run). Made on first use: sprites that are members of the
// program's screens build their list while the program's objects are still
// being constructed, maybe before this file's own.
std::vector<std::vector<Call>>& allLists()
{
    static std::vector<std::vector<Call>> lists;
    return lists;
}
// The list being recorded, or null.
std::vector<Call>* recording = nullptr;
bool executeWhileRecording = false;

// Keeps call when a list is being recorded; true when it must be carried out
// now as well.
bool record(const Call& call)
{
    if (recording == nullptr)
        return true;
    recording->push_back(call);
    return executeWhileRecording;
}

void play(const Call& call)
{
    switch (call.op)
    {
    case Op::Begin:
        __real_glBegin(call.mode);
        break;
    case Op::End:
        __real_glEnd();
        break;
    case Op::TexCoord:
        __real_glTexCoord2f(call.x, call.y);
        break;
    case Op::Vertex:
        __real_glVertex3f(call.x, call.y, call.z);
        break;
    }
}
} // namespace

extern "C"
{
GLuint glGenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    std::vector<std::vector<Call>>& lists = allLists();
    const GLuint first = static_cast<GLuint>(lists.size()) + 1;
    lists.resize(lists.size() + static_cast<std::size_t>(range));
    return first;
}

void glNewList(GLuint list, GLenum mode)
{
    // Lists are not nested: a second glNewList before glEndList is ignored,
    // as GL refuses it.
    std::vector<std::vector<Call>>& lists = allLists();
    if (recording != nullptr || list == 0 || list > lists.size())
        return;
    recording = &lists[list - 1];
    recording->clear();
    executeWhileRecording = mode == GL_COMPILE_AND_EXECUTE;
}

void glEndList()
{
    recording = nullptr;
}

void glCallList(GLuint list)
{
    const std::vector<std::vector<Call>>& lists = allLists();
    if (list == 0 || list > lists.size())
        return;
    for (const Call& call : lists[list - 1])
        play(call);
}

void __wrap_glBegin(GLenum mode)
{
    if (record({Op::Begin, mode, 0.0f, 0.0f, 0.0f}))
        __real_glBegin(mode);
}

void __wrap_glEnd()
{
    if (record({Op::End, 0, 0.0f, 0.0f, 0.0f}))
        __real_glEnd();
}

void __wrap_glNormal3f(GLfloat, GLfloat, GLfloat)
{
}

void __wrap_glTexCoord2f(GLfloat s, GLfloat t)
{
    if (record({Op::TexCoord, 0, s, t, 0.0f}))
        __real_glTexCoord2f(s, t);
}

void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (record({Op::Vertex, 0, x, y, z}))
        __real_glVertex3f(x, y, z);
}
}
