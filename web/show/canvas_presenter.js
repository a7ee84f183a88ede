// canvas_presenter.js: the JavaScript half of canvas_presenter.h, linked in as
// an Emscripten library. It talks to WebGL directly, beside the library's
// OpenGL emulation, so it keeps its own objects and puts back every piece of
// shared state it touches.
mergeInto(LibraryManager.library, {
  $canvas_presenter: {
    vertex_source: `
      attribute vec2 corner;
      varying vec2 picture_position;
      void main() {
        picture_position = corner * 0.5 + 0.5;
        gl_Position = vec4(corner, 0.0, 1.0);
      }`,
    // Sharp bilinear: each texel keeps its own colour over its middle and
    // blends into its neighbour only across the one output pixel at its edge,
    // as a bilinear lookup moved next to the texel's edge. The desktop's
    // presenter shades the same way.
    fragment_source: `
      precision highp float;
      uniform sampler2D picture;
      uniform vec2 texels;  // the picture's size
      uniform float scale;  // output pixels per texel; 0 for a plain lookup
      varying vec2 picture_position;
      void main() {
        if (scale == 0.0) {
          gl_FragColor = texture2D(picture, picture_position);
          return;
        }
        vec2 texel = picture_position * texels;
        vec2 from_middle = fract(texel) - 0.5;
        float flat_half = 0.5 - 0.5 / scale;
        vec2 blend = (from_middle - clamp(from_middle, -flat_half, flat_half)) * scale;
        gl_FragColor = texture2D(picture, (floor(texel) + 0.5 + blend) / texels);
      }`,
    width: 640,
    height: 480,

    compile: function(gl, type, source) {
      const shader = gl.createShader(type);
      gl.shaderSource(shader, source);
      gl.compileShader(shader);
      return shader;
    },

    // The copy texture, the quad and the program, made once per context.
    make: function(gl) {
      const made = {vertex_arrays: gl.getExtension('OES_vertex_array_object')};
      made.texture = gl.createTexture();
      gl.bindTexture(gl.TEXTURE_2D, made.texture);
      // 16-bit like the picture: copying into 8-bit channels instead took
      // SwiftShader 7 ms a frame, into these 0.4 ms.
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, canvas_presenter.width, canvas_presenter.height, 0, gl.RGB,
                    gl.UNSIGNED_SHORT_5_6_5, null);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      made.program = gl.createProgram();
      gl.attachShader(made.program, canvas_presenter.compile(gl, gl.VERTEX_SHADER, canvas_presenter.vertex_source));
      gl.attachShader(made.program, canvas_presenter.compile(gl, gl.FRAGMENT_SHADER, canvas_presenter.fragment_source));
      gl.bindAttribLocation(made.program, 0, 'corner');
      gl.linkProgram(made.program);
      made.texels = gl.getUniformLocation(made.program, 'texels');
      made.scale = gl.getUniformLocation(made.program, 'scale');
      made.picture = gl.getUniformLocation(made.program, 'picture');
      made.corners = gl.createBuffer();
      gl.bindBuffer(gl.ARRAY_BUFFER, made.corners);
      gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
      made.vertex_array = made.vertex_arrays.createVertexArrayOES();
      made.vertex_arrays.bindVertexArrayOES(made.vertex_array);
      gl.enableVertexAttribArray(0);
      gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
      return made;
    },

    // What presenting changes, to be put back: bindings, the program, the
    // viewport and scissor, the clear colour and the switches.
    switches: ['SCISSOR_TEST', 'DEPTH_TEST', 'BLEND', 'CULL_FACE', 'STENCIL_TEST'],
    save: function(gl) {
      const vertex_arrays = gl.getExtension('OES_vertex_array_object');
      const saved = {
        framebuffer: gl.getParameter(gl.FRAMEBUFFER_BINDING),
        active_texture: gl.getParameter(gl.ACTIVE_TEXTURE),
        program: gl.getParameter(gl.CURRENT_PROGRAM),
        array_buffer: gl.getParameter(gl.ARRAY_BUFFER_BINDING),
        vertex_array: gl.getParameter(vertex_arrays.VERTEX_ARRAY_BINDING_OES),
        viewport: gl.getParameter(gl.VIEWPORT),
        scissor: gl.getParameter(gl.SCISSOR_BOX),
        clear_colour: gl.getParameter(gl.COLOR_CLEAR_VALUE),
        switches: canvas_presenter.switches.map((name) => gl.isEnabled(gl[name])),
      };
      gl.activeTexture(gl.TEXTURE0);
      saved.texture = gl.getParameter(gl.TEXTURE_BINDING_2D);
      return saved;
    },
    restore: function(gl, made, saved) {
      gl.bindTexture(gl.TEXTURE_2D, saved.texture);
      gl.activeTexture(saved.active_texture);
      canvas_presenter.switches.forEach((name, index) => {
        if (saved.switches[index]) gl.enable(gl[name]);
        else gl.disable(gl[name]);
      });
      gl.clearColor(...saved.clear_colour);
      gl.scissor(...saved.scissor);
      gl.viewport(...saved.viewport);
      made.vertex_arrays.bindVertexArrayOES(saved.vertex_array);
      gl.bindBuffer(gl.ARRAY_BUFFER, saved.array_buffer);
      gl.useProgram(saved.program);
      gl.bindFramebuffer(gl.FRAMEBUFFER, saved.framebuffer);
    },

    // Black over the bands around the placed area only.
    clear_around: function(gl, width, height, x, y, placed_width, placed_height) {
      const right = x + placed_width;
      const top = y + placed_height;
      const bands = [[0, 0, x, height], [right, 0, width - right, height],
                     [x, 0, placed_width, y], [x, top, placed_width, height - top]];
      gl.clearColor(0, 0, 0, 1);
      gl.enable(gl.SCISSOR_TEST);
      // Indexed, not destructured: this Emscripten's minifier mangles destructuring.
      for (const band of bands) {
        if (band[2] <= 0 || band[3] <= 0) continue;
        gl.scissor(band[0], band[1], band[2], band[3]);
        gl.clear(gl.COLOR_BUFFER_BIT);
      }
      gl.disable(gl.SCISSOR_TEST);
    },
  },

  present_on_canvas__deps: ['$GL', '$canvas_presenter'],
  present_on_canvas: function(picture_framebuffer, width, height, x, y, placed_width, placed_height, whole_scale) {
    const context = GL.currentContext;
    const gl = context.GLctx;
    const saved = canvas_presenter.save(gl);
    context.presenter = context.presenter || canvas_presenter.make(gl);
    const made = context.presenter;
    canvas_presenter.switches.forEach((name) => gl.disable(gl[name]));

    // The picture into the copy, bit for bit; sampling widens it exactly.
    gl.bindFramebuffer(gl.FRAMEBUFFER, GL.framebuffers[picture_framebuffer]);
    gl.bindTexture(gl.TEXTURE_2D, made.texture);
    gl.copyTexSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 0, 0, canvas_presenter.width, canvas_presenter.height);

    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    canvas_presenter.clear_around(gl, width, height, x, y, placed_width, placed_height);
    if (placed_width > 0) {
      // Smaller than the picture, a screen pixel covers more than one texel:
      // a plain bilinear lookup blends them, with no texel middle to keep flat.
      const sharp = !whole_scale && placed_width > canvas_presenter.width;
      const filter = whole_scale ? gl.NEAREST : gl.LINEAR;
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
      gl.viewport(x, y, placed_width, placed_height);
      gl.useProgram(made.program);
      gl.uniform1i(made.picture, 0);
      gl.uniform2f(made.texels, canvas_presenter.width, canvas_presenter.height);
      gl.uniform1f(made.scale, sharp ? placed_width / canvas_presenter.width : 0);
      made.vertex_arrays.bindVertexArrayOES(made.vertex_array);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    }
    canvas_presenter.restore(gl, made, saved);
  },
});
