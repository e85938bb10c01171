#include "glframework/RenderSettings.h"

#include "glframework/Log.h"

#include <GL/gl.h>

void setBackfaceCulling(bool on)
{
    if (on)
    {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        logLine("Backface culling enabled");
    }
    else
    {
        glDisable(GL_CULL_FACE);
        logLine("Backface culling disabled");
    }
}

void setDepthBuffer(bool on, bool cullTransparent)
{
    if (on)
    {
        glEnable(GL_DEPTH_TEST);
        glClearDepth(1.0);
        glDepthFunc(GL_LEQUAL);
        logLine("Z-buffer enabled");
        if (cullTransparent)
        {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.001f);
            logLine("Tranparent pixels culled from Z-buffer");
        }
    }
    else
    {
        glDisable(GL_DEPTH_TEST);
        logLine("Z-buffer disabled");
    }
}
