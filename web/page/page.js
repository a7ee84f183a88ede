// page.js: runs the show in the page. It loads the show, its pictures and its
// music, waits for a key, click or tap (browsers start sound only then), draws
// the show's steps on the music's clock, presents the newest on the canvas at
// the screen's own pixels, answers the show's keys, and offers to play again.
// Anything that cannot load is said on the page.
'use strict';

const steps_per_second = 60;
const mix_rate = 44100;  // the music is mixed at the desktop show's rate
const module_file = 'quorvan.xm';
// Lines of Emscripten's own about its OpenGL emulation: not the show's, and no error.
const emulation_warning = /^WARNING: (using emscripten GL|Unhandled `pname`)/;

const stage = document.getElementById('stage');
const canvas = document.getElementById('show');
const invitation = document.getElementById('invitation');
const invitation_text = document.getElementById('invitation-text');
const key_hints = document.getElementById('keys');
const ending = document.getElementById('ending');
const notice = document.getElementById('notice');
// Phones and tablets have no keys to name.
const by_touch = matchMedia('(pointer: coarse)').matches;

// Everything the page keeps between frames; open to a curious console.
const page = {
  state: 'loading',  // then 'inviting', 'playing', 'ended'; 'failed' if the show cannot run
  show: null,        // the show, opened on the canvas, its pictures made textures
  music: null,       // the audio context and the worklet node, once prepared
  frames: 0,         // the show's steps drawn in this run
  clock_start: null, // the show's start on the music's clock and on the page's
  ended_at: null,    // the show's clock, in seconds, when it ended
  frame_request: 0,  // the display frame asked for, cancelled at the end
};
window.quorvan = page;

function tell(text) {
  notice.textContent = notice.textContent ? `${notice.textContent} ${text}` : text;
  notice.hidden = false;
}

// A file of the show: embedded in the page when it is the single-file
// quorvan.html, otherwise fetched from beside the page.
async function read_file(name) {
  const embedded = window.quorvan_files?.[name];
  if (embedded) return Uint8Array.from(atob(embedded), (character) => character.charCodeAt(0));
  let response;
  try {
    response = await fetch(name);
  } catch {
    if (location.protocol === 'file:') {
      const folder = decodeURIComponent(location.pathname.replace(/[^/]*$/, ''));
      throw new Error('A browser does not let a page opened from disk read its files. Open quorvan.html ' +
                      `instead, or serve this folder: python3 -m http.server -d ${folder} 8000 ` +
                      'and open http://localhost:8000/');
    }
    throw new Error(`${name} could not be fetched: check the connection and reload.`);
  }
  if (!response.ok) {
    throw new Error(`${name} could not be loaded (${response.status} ${response.statusText}): ` +
                    'put the whole site folder on the server, as the build wrote it.');
  }
  return new Uint8Array(await response.arrayBuffer());
}

// A file the build compressed with gzip, unpacked.
async function read_compressed_file(name) {
  const unpacked = new Blob([await read_file(name)]).stream().pipeThrough(new DecompressionStream('gzip'));
  try {
    return new Uint8Array(await new Response(unpacked).arrayBuffer());
  } catch {
    throw new Error(`${name} is damaged: put the site folder on the server again, as the build wrote it.`);
  }
}

// A picture served as PNG, decoded into the raw file the show reads: 256 by
// 256 RGB, the top row first.
async function read_picture(raw_name) {
  const name = raw_name.replace(/[.]raw$/, '.png');
  const bitmap = await createImageBitmap(new Blob([await read_file(name)], {type: 'image/png'}),
                                         {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
  const side = 256;
  if (bitmap.width !== side || bitmap.height !== side) throw new Error(`${name} is not 256 by 256 pixels.`);
  const context = new OffscreenCanvas(side, side).getContext('2d');
  context.drawImage(bitmap, 0, 0);
  const rgba = context.getImageData(0, 0, side, side).data;
  const rgb = new Uint8Array(side * side * 3);
  for (let pixel = 0; pixel < side * side; ++pixel) rgb.set(rgba.subarray(4 * pixel, 4 * pixel + 3), 3 * pixel);
  return rgb;
}

// The show on the page's canvas, its pictures written where it reads them.
// A picture that cannot be had is said, and drawn white.
async function open_show(show_code) {
  const show = await create_quorvan_show({
    canvas,
    wasmBinary: show_code,
    print: (line) => console.log(line),
    printErr: (line) => { if (!emulation_warning.test(line)) console.warn(line); },
  }).catch((error) => {
    throw new Error(`quorvan_show.wasm cannot run here (${error.message ?? error}): put the site folder on ` +
                    'the server again, as the build wrote it, or try another browser.');
  });
  const names = Array.from({length: show._web_picture_count()},
                           (_, index) => show.UTF8ToString(show._web_picture_file(index)));
  await Promise.all(names.map(async (name) => {
    try {
      show.FS.writeFile(name, await read_picture(name));
    } catch (error) {
      tell(`${error.message} That picture shows white.`);
    }
  }));
  if (show._web_open() !== 1) throw new Error('This browser cannot draw the show: it needs WebGL.');
  return show;
}

// The worklet, given the mixer's code (compiled here from its bytes, so any
// server's type for it will do) and the show's module. The audio context
// starts suspended, as browsers want, and the worklet opens the mixer once it
// runs: at the click. A page that is one file hands the worklet its code as a
// data: URL, the one kind a page opened from disk may add.
async function prepare_music(module_bytes, mixer_code) {
  const context = new AudioContext({sampleRate: mix_rate});
  const embedded = window.quorvan_files?.['quorvan_mixer.js'];
  const worklet = embedded ? `data:text/javascript;base64,${embedded}` : 'quorvan_mixer.js';
  // A page opened from disk has no origin, and a compiled module cannot pass
  // from it to its worklet: the worklet compiles the bytes itself.
  const compile = location.protocol === 'file:' ? Promise.resolve(mixer_code) : WebAssembly.compile(mixer_code);
  const [code] = await Promise.all([compile, context.audioWorklet.addModule(worklet)]);
  const node = new AudioWorkletNode(context, 'quorvan-mixer', {numberOfInputs: 0, outputChannelCount: [2]});
  node.connect(context.destination);
  node.port.onmessage = (event) => {
    if (event.data.type === 'opened' && !event.data.has_song)
      tell(`${module_file} is not a module this show can play: the show plays without music.`);
    if (event.data.type === 'error') tell(`The music stopped working (${event.data.message}).`);
  };
  node.port.postMessage({type: 'open', code, module: module_bytes});
  return {context, node};
}

function tell_music(type) {
  if (page.music) page.music.node.port.postMessage({type});
}

function start() {
  page.state = 'playing';
  invitation.hidden = true;
  ending.hidden = true;
  if (page.music) page.music.context.resume();
  tell_music('play');  // from the beginning: it was stopped
  page.frames = 0;
  page.ended_at = null;
  page.clock_start = {music: page.music?.context.currentTime ?? 0, page: performance.now()};
  page.frame_request = requestAnimationFrame(tick);
}

// The show's clock, in seconds since it started: the music's clock, less the
// time its sound takes to reach the speakers, so the picture keeps time with
// what is heard (with the music stopped, the same clock runs on); the page's
// own clock where no music plays. It never runs backwards.
function show_seconds() {
  const context = page.music?.context;
  if (context?.state === 'running')
    return context.currentTime - (context.outputLatency ?? 0) - page.clock_start.music;
  return (performance.now() - page.clock_start.page) / 1000;
}

function present() {
  if (page.show && page.frames > 0) page.show._web_present(canvas.width, canvas.height);
}

// Each display frame draws every step due and not yet drawn, in order, and
// presents the newest: a slow machine or a tab that was hidden shows fewer
// steps, never falls behind the music. A step is drawn on the display frame
// nearest its time.
function tick() {
  const due = Math.floor(show_seconds() * steps_per_second + 0.5) + 1;
  const drawn_before = page.frames;
  let goes_on = true;
  while (goes_on && page.frames < due) {
    goes_on = page.show._web_frame() === 1;
    page.frames += 1;
  }
  if (page.frames > drawn_before) present();
  if (!goes_on) {
    page.ended_at = show_seconds();
    end_show();
  } else if (page.state === 'playing') {
    page.frame_request = requestAnimationFrame(tick);
  }
}

// After the last frame, or on Escape: the frames and the music stop together,
// the last frame stays, and the offer to play again sits in its lower bar.
function end_show() {
  page.state = 'ended';
  cancelAnimationFrame(page.frame_request);
  tell_music('stop');
  ending.hidden = false;
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

// The same show from its first step, on the same canvas and context.
function play_again() {
  page.show._web_restart();
  start();
}

function enter_full_screen() {
  if (!document.fullscreenElement) stage.requestFullscreen().catch(() => {});
}

// Keys that start nothing: Escape stops, and a modifier alone is no choice.
const keys_that_never_start = new Set(['Escape', 'Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'Tab']);

function on_key(event) {
  if (page.state === 'inviting' || page.state === 'ended') {
    if (keys_that_never_start.has(event.key)) return;
    return page.state === 'inviting' ? start() : play_again();
  }
  if (page.state !== 'playing') return;
  // The show's own keys, case-sensitive: "F", "M" and "S" do nothing.
  switch (event.key) {
    case 'Escape': end_show(); break;
    case 'f': enter_full_screen(); break;
    case 'm': tell_music('play'); break;
    case 's': tell_music('stop'); break;
    default: return;
  }
  event.preventDefault();
}

function on_click() {
  if (page.state === 'inviting') start();
  else if (page.state === 'ended') play_again();
}

// The drawing buffer follows the canvas's size in device pixels, so the
// picture is scaled once, by the show, and never again by the browser.
function follow_canvas_size(entry) {
  const device_box = entry.devicePixelContentBoxSize?.[0];
  const width = device_box?.inlineSize ?? Math.round(entry.contentRect.width * devicePixelRatio);
  const height = device_box?.blockSize ?? Math.round(entry.contentRect.height * devicePixelRatio);
  if (width === canvas.width && height === canvas.height) return;
  canvas.width = width;
  canvas.height = height;
  present();  // a resized canvas is cleared
}

function invite() {
  page.state = 'inviting';
  invitation_text.textContent = by_touch ? 'Tap to start' : 'Press a key or click to start';
  ending.textContent = by_touch ? 'Tap to play again' : 'Press a key or click to play again';
  key_hints.hidden = by_touch;
}

async function open_page() {
  const music_files = Promise.all([read_file(module_file), read_compressed_file('quorvan_mixer.wasm.gz')]);
  music_files.catch(() => {});  // said once the show is open, below
  page.show = await open_show(await read_file('quorvan_show.wasm'));
  try {
    page.music = await prepare_music(...await music_files);
  } catch (error) {
    tell(`${error.message} The show plays without music.`);
  }
  invite();
}

const canvas_size = new ResizeObserver(([entry]) => follow_canvas_size(entry));
try {
  canvas_size.observe(canvas, {box: 'device-pixel-content-box'});
} catch {
  canvas_size.observe(canvas);  // a browser that cannot count device pixels: CSS pixels times the ratio
}
window.addEventListener('keydown', on_key);
stage.addEventListener('click', on_click);
stage.addEventListener('dblclick', enter_full_screen);
open_page().catch((error) => {
  page.state = 'failed';
  invitation_text.textContent = error.message;
  console.error(error);
});
