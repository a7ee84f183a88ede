// worklet_processor.js: the page's AudioWorklet processor, appended to the
// mixer's Emscripten module. The page sends the mixer's code and the show's
// module; from then on every block of sound is mixed here, off the page's thread.

// A running mixer: the module loaded (not playing), and a buffer for one block.
// The mixer's code comes compiled (a WebAssembly.Module) or as its bytes:
// a worklet can fetch nothing itself.
async function open_mixer(code, module_bytes, mix_rate) {
  const mixer = await create_quorvan_mixer({
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(code, imports).then(
          (result) => receive(result instanceof WebAssembly.Instance ? result : result.instance));
      return {};
    },
  });
  mixer.FS.writeFile('quorvan.xm', module_bytes);
  const has_song = mixer._worklet_open(mix_rate) === 1;
  const stereo = 2;
  const float_bytes = 4;
  let buffer_frames = 0;
  let buffer = 0;
  return {
    has_song,
    play: () => mixer._worklet_play(),
    stop: () => mixer._worklet_stop(),
    position: () => mixer._worklet_position(),
    // The next frames of interleaved stereo; valid until the next call.
    mix(frames) {
      if (frames > buffer_frames) {
        mixer._free(buffer);
        buffer = mixer._malloc(frames * stereo * float_bytes);
        buffer_frames = frames;
      }
      mixer._worklet_mix(buffer, frames);
      const first = buffer / float_bytes;
      return mixer.HEAPF32.subarray(first, first + frames * stereo);
    },
  };
}
create_quorvan_mixer.open_mixer = open_mixer;

if (typeof registerProcessor === 'function') {
  // A worklet has neither a performance clock nor a crypto source, which the
  // mixer's runtime reads when libopenmpt seeds its random generator (for
  // the modules' random effects, nothing secret): the date and Math.random serve.
  if (typeof performance === 'undefined') globalThis.performance = {now: () => Date.now()};
  if (typeof crypto === 'undefined') {
    const fill_randomly = (bytes) => {
      for (let index = 0; index < bytes.length; ++index) bytes[index] = Math.floor(Math.random() * 256);
      return bytes;
    };
    globalThis.crypto = {getRandomValues: fill_randomly};
  }

  class quorvan_mixer_processor extends AudioWorkletProcessor {
    constructor() {
      super();
      this.mixer = null;
      this.peak = 0;  // of the last block, for the page to ask about
      // One message at a time, in order: a "play" waits for the mixer to open.
      this.answered = Promise.resolve();
      // A failure is told to the page, and the music stays silent.
      this.port.onmessage = (event) => {
        this.answered = this.answered.then(() => this.answer(event.data)).catch((error) => {
          this.port.postMessage({type: 'error', message: String(error)});
        });
      };
    }

    async answer(message) {
      if (message.type === 'open') {
        // sampleRate is the worklet scope's own: the page's audio context rate.
        this.mixer = await open_mixer(message.code, message.module, sampleRate);
        this.port.postMessage({type: 'opened', has_song: this.mixer.has_song});
      } else if (message.type === 'play' && this.mixer) {
        this.mixer.play();
      } else if (message.type === 'stop' && this.mixer) {
        this.mixer.stop();
      } else if (message.type === 'status') {
        const position = this.mixer ? this.mixer.position() : 0;
        this.port.postMessage({type: 'status', position, peak: this.peak});
      }
    }

    process(inputs, outputs) {
      const [left, right] = outputs[0];
      if (!this.mixer) return true;  // silence until the mixer is open
      const samples = this.mixer.mix(left.length);
      let peak = 0;
      for (let frame = 0; frame < left.length; ++frame) {
        left[frame] = samples[2 * frame];
        right[frame] = samples[2 * frame + 1];
        peak = Math.max(peak, Math.abs(left[frame]), Math.abs(right[frame]));
      }
      this.peak = peak;
      return true;
    }
  }
  registerProcessor('quorvan-mixer', quorvan_mixer_processor);
}
