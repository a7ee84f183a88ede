// page.js: runs the show in the page. It loads the show and its music, waits
// for a key or a click (browsers start sound only then), draws the show's
// steps on the music's clock, answers the show's keys, and offers to play again.
'use strict';

const steps_per_second = 60;
const mix_rate = 44100;  // the music is mixed at the desktop show's rate
const picture_width = 640;
const picture_height = 480;

const stage = document.getElementById('stage');
const invitation = document.getElementById('invitation');
const invitation_text = document.getElementById('invitation-text');
const ending = document.getElementById('ending');

// Everything the page keeps between frames; open to a curious console.
const page = {
  state: 'loading',  // then 'inviting', 'playing', 'ended'
  show: null,        // the show, loaded, its pictures made textures
  next_show: null,   // a fresh show for "play again", loading while the end is shown
  music: null,       // the audio context and the worklet node, once prepared
  frames: 0,         // the show's steps drawn in this run
  clock_start: null, // the show's start on the music's clock and on the page's
  ended_at: null,    // the show's clock, in seconds, when it ended
  frame_request: 0,  // the display frame asked for, cancelled at the end
};
window.quorvan = page;

// A new show on a canvas of its own: the show's state only ever moves
// forward, so playing again takes a new one.
function load_show() {
  const canvas = document.createElement('canvas');
  canvas.id = 'show';
  canvas.width = picture_width;
  canvas.height = picture_height;
  return create_quorvan_show({
    canvas,
    print: (line) => console.log(line),
    printErr: (line) => console.warn(line),
  });
}

function put_on_stage(show) {
  stage.replaceChild(show.canvas, document.getElementById('show'));
  page.show = show;
}

// The worklet, given the mixer's code (compiled here, where it can be
// fetched) and the show's module. The audio context starts suspended, as
// browsers want, and the worklet opens the mixer once it runs: at the click.
async function prepare_music(module_bytes) {
  const context = new AudioContext({sampleRate: mix_rate});
  const [code] = await Promise.all([
    WebAssembly.compileStreaming(fetch('quorvan_mixer.wasm')),
    context.audioWorklet.addModule('quorvan_mixer.js'),
  ]);
  const node = new AudioWorkletNode(context, 'quorvan-mixer',
                                    {numberOfInputs: 0, outputChannelCount: [2]});
  node.connect(context.destination);
  node.port.onmessage = (event) => {
    if (event.data.type === 'error') console.warn('The music stopped working:', event.data.message);
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

// Each display frame draws every step due and not yet drawn, in order, and
// the browser shows the newest: a slow machine or a tab that was hidden shows
// fewer steps, never falls behind the music. A step is drawn on the display
// frame nearest its time.
function tick() {
  const due = Math.floor(show_seconds() * steps_per_second + 0.5) + 1;
  let goes_on = true;
  while (goes_on && page.frames < due) {
    goes_on = page.show._web_frame() === 1;
    page.frames += 1;
  }
  if (!goes_on) {
    page.ended_at = show_seconds();
    end_show();
  } else if (page.state === 'playing') {
    page.frame_request = requestAnimationFrame(tick);
  }
}

// After the last frame, or on Escape: the frames and the music stop together.
function end_show() {
  page.state = 'ended';
  cancelAnimationFrame(page.frame_request);
  tell_music('stop');
  ending.hidden = false;
  page.next_show = load_show();
}

async function play_again() {
  page.state = 'loading';
  put_on_stage(await page.next_show);
  start();
}

function enter_full_screen() {
  if (!document.fullscreenElement) stage.requestFullscreen().catch(() => {});
}

function on_key(event) {
  if (page.state === 'inviting') return start();
  if (page.state === 'ended') return play_again();
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

async function open_page() {
  const show = await load_show();
  put_on_stage(show);
  try {
    page.music = await prepare_music(show.FS.readFile('quorvan.xm'));
  } catch (error) {
    console.warn('The show runs without music:', error);
  }
  page.state = 'inviting';
  invitation_text.textContent = 'Press a key or click to start';
}

window.addEventListener('keydown', on_key);
stage.addEventListener('click', on_click);
stage.addEventListener('dblclick', enter_full_screen);
open_page();
