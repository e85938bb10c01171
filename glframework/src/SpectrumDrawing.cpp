#include "glframework/SpectrumDrawing.h"

#include <GL/gl.h>

SpectrumDrawing::SpectrumDrawing() : lastPeak(0.0f)
{
}

void SpectrumDrawing::draw(const float* values, int count)
{
    glPushMatrix();
    float peak = 0.0f;
    int peakIndex = -1;
    for (int i = 0; i < count; ++i)
    {
        if (values[i] > peak)
        {
            peak = values[i];
            peakIndex = i;
        }
    }
    lastPeak = peak;
    for (int i = 0; i < count; ++i)
    {
        if (i == peakIndex)
            glColor3f(1.0f, 0.0f, 0.0f);
        else
            glColor3f(0.3f, 0.5f, 0.67f);
        const float x = static_cast<float>(2 * i) / count - 1.0f;
        glBegin(GL_LINES);
        glVertex3f(x, -1.0f, 0.0f);
        glVertex3f(x, values[i] - 1.0f, 0.0f);
        glEnd();
    }
    glPopMatrix();
}

float SpectrumDrawing::getLastPeak() const
{
    return lastPeak;
}
