// frames.js: draws the show's frames back to back, as fast as the browser
// draws them (no pacing, no music), and reads back the frames asked for.
'use strict';

// Resolves to {frames: {number: base64 RGB, top row first}, drawn, ended}.
window.draw_frames = async function(wanted) {
  const show = await create_quorvan_show({
    canvas: document.getElementById('show'),
    locateFile: (file) => `/${file}`,  // the show's files are at the site's root
  });
  const gl = show.ctx;
  const width = gl.drawingBufferWidth;
  const height = gl.drawingBufferHeight;
  const rgba = new Uint8Array(width * height * 4);
  const frames = {};
  const last = Math.max(...wanted);
  let drawn = 0;
  let goes_on = true;
  while (goes_on && drawn < last) {
    goes_on = show._web_frame() === 1;
    drawn += 1;
    if (wanted.includes(drawn)) {
      // Read within the same task as the drawing, before the browser presents it.
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
      frames[drawn] = rgb_top_row_first(rgba, width, height);
    }
  }
  // The show ended: one more call must draw nothing and still say so.
  const still_ended = !goes_on && show._web_frame() === 0;
  return {frames, drawn, ended: !goes_on, still_ended, width, height};
};

function rgb_top_row_first(rgba, width, height) {
  let text = '';
  const row = new Uint8Array(width * 3);
  for (let y = height - 1; y >= 0; --y) {
    for (let x = 0; x < width; ++x) row.set(rgba.subarray(4 * (y * width + x), 4 * (y * width + x) + 3), 3 * x);
    text += String.fromCharCode.apply(null, row);
  }
  return btoa(text);
}
