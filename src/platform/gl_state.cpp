#include "platform/gl_state.h"

#include <GL/gl.h>

void init_gl_state() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_NORMALIZE);
    glPointSize(2.0f);
}

void init_default_lighting() {
    const GLfloat model_ambient[] = {0.25f, 0.25f, 0.25f, 1.0f};
    const GLfloat light_ambient[] = {0.05f, 0.05f, 0.05f, 1.0f};
    const GLfloat light_diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat light_specular[] = {0.05f, 0.05f, 0.05f, 1.0f};
    const GLfloat light_position[] = {5.0f, 7.5f, 10.0f, 1.0f};
    const GLfloat material_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, model_ambient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light_specular);
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 5.0f);
    glEnable(GL_LIGHT0);
}

int32_t clamp_sample_count_to(int32_t requested, int32_t limit) {
    if (limit < 0) limit = 0;
    if (requested < 0) return 0;
    return requested > limit ? limit : requested;
}

int32_t clamp_sample_count(int32_t requested) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &limit);
    return clamp_sample_count_to(requested, limit);
}
