// web_gl.h: what WebGL needs before the show's own OpenGL 1.1 calls work as
// they do on a desktop (implemented in JavaScript, web_gl.js).
#pragma once

extern "C" {

// WebGL 1 takes only a format as a texture's internal format, never a count
// of components: 3 and 4 (GL 1.1's RGB and RGBA) become the format given.
void accept_component_counts();

// The show binds the fixed texture names 1 to count without generating them,
// which WebGL does not accept: this makes each of them a texture now, and
// keeps the library from ever handing them out for something else. Each
// holds one white texel until its picture loads.
void claim_show_texture_names(int count);
}
