// web_gl.js: the JavaScript half of web_gl.h, linked in as an Emscripten
// library, next to the library's own OpenGL emulation on top of WebGL.
mergeInto(LibraryManager.library, {
  accept_component_counts__deps: ['$GL'],
  accept_component_counts: function() {
    const context = GL.currentContext.GLctx;
    const upload = context.texImage2D.bind(context);
    const components_rgb = 3;
    const components_rgba = 4;
    context.texImage2D = function(target, level, internal_format, ...rest) {
      // The long form ends in (format, type, pixels); its format stands in.
      if ((internal_format === components_rgb || internal_format === components_rgba) && rest.length === 6)
        internal_format = rest[3];
      return upload(target, level, internal_format, ...rest);
    };
  },

  claim_show_texture_names__deps: ['$GL'],
  claim_show_texture_names: function(count) {
    const context = GL.currentContext.GLctx;
    for (let name = 1; name <= count; ++name) {
      if (GL.textures[name]) continue;
      // One white texel until the picture loads: a desktop draws a quad
      // whose picture failed untextured, in its own colour, where WebGL
      // would sample black.
      const texture = context.createTexture();
      context.bindTexture(context.TEXTURE_2D, texture);
      context.texImage2D(context.TEXTURE_2D, 0, context.RGB, 1, 1, 0, context.RGB, context.UNSIGNED_BYTE,
                         new Uint8Array([255, 255, 255]));
      context.texParameteri(context.TEXTURE_2D, context.TEXTURE_MIN_FILTER, context.NEAREST);
      texture.name = name;
      GL.textures[name] = texture;
    }
    context.bindTexture(context.TEXTURE_2D, null);
    // New objects of every kind are numbered from this one shared counter.
    GL.counter = Math.max(GL.counter, count + 1);
  },
});
