#include "support/PictureTestSupport.h"

#include "support/GlTestWindow.h"

#include "glframework/Camera.h"

#include <GL/gl.h>

#include <cstdlib>
#include <list>

void setUpPixelWorld()
{
    ensureGlTestWindow();
    static Camera camera;
    static bool ready = false;
    if (!ready)
    {
        camera.setPerspective(0);
        camera.position.z = -50.0f; // the plane z = 0 lies between the clip planes
        setActiveCamera(&camera);
        camera.reshape(800, 600);
        pumpGlutEvents(0.1);
        ready = true;
    }
    glMatrixMode(GL_MODELVIEW);
}

void setUpClipSpace()
{
    ensureGlTestWindow();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 800, 600);
}

void clearFrame()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::uint32_t Frame::atWorld(int x, int y) const
{
    const int column = 400 + x;
    const int row = 300 + y;
    if (column < 0 || column >= width || row < 0 || row >= height)
        return 0xFFFFFFFFu;
    const std::size_t at = (static_cast<std::size_t>(row) * width + column) * 3;
    return (static_cast<std::uint32_t>(rgb[at]) << 16) | (static_cast<std::uint32_t>(rgb[at + 1]) << 8) |
           rgb[at + 2];
}

double Frame::meanDifference(const Frame& other) const
{
    if (rgb.size() != other.rgb.size() || rgb.empty())
        return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < rgb.size(); ++i)
        sum += std::abs(static_cast<int>(rgb[i]) - static_cast<int>(other.rgb[i]));
    return sum / static_cast<double>(rgb.size());
}

Frame readFrame()
{
    Frame frame;
    frame.width = 800;
    frame.height = 600;
    frame.rgb.resize(800 * 600 * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    return frame;
}

bool convert(const std::string& arguments)
{
    return std::system(("convert " + arguments + " 2>/dev/null").c_str()) == 0;
}

const char* keepName(const std::string& text)
{
    // A list never moves its elements, so the pointers stay valid.
    static std::list<std::string> names;
    names.push_back(text);
    return names.back().c_str();
}

bool near(std::uint32_t colour, std::uint32_t expected, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8)
    {
        const int a = static_cast<int>((colour >> shift) & 0xFF);
        const int b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance)
            return false;
    }
    return true;
}
