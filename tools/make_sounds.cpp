// Makes the game's own sound effects and music. Every sound is synthesised here from
// oscillators, noise and envelopes; nothing is sampled. The output is deterministic: noise
// comes from fixed seeds and no clock or system random source is used.
//
//   zor_make_sounds [ROOT]
//
// writes ROOT/zordata/sounds/<name>.wav (16-bit PCM, 44100 Hz, mono) and
// ROOT/zordata/music/*.ogg (Ogg Vorbis, 44100 Hz, stereo). ROOT defaults to ".".
// The music tracks are loops: notes that ring past the end are wrapped round to the start,
// and each track lasts a whole number of bars so that beat timers stay aligned.

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// xorshift32: small, fixed and the same everywhere.
struct Rng {
  uint32_t s;
  double next() {  // -1 .. 1
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s / 2147483648.0 - 1.0;
  }
};

enum class Wave { Sine, Triangle, Square, Saw, Noise };

// One synthesised note. Frequencies glide exponentially from f0 to f1 (f1 0: no glide).
// For Noise, f0 > 0 makes sample-and-hold noise at that rate (a pitched hiss); 0 is white.
struct Tone {
  Wave wave = Wave::Sine;
  double f0 = 440, f1 = 0;
  double dur = 0.1, amp = 0.5;
  double attack = 0.003, release = 0.02;  // linear ramps, seconds
  double decay = 0;                       // exponential decay per second
  double vibRate = 0, vibDepth = 0;       // Hz, semitones
  double duty = 0.5;                      // square pulse width
  double cut0 = 0, cut1 = 0;              // one-pole filter cutoff sweep, Hz (0: no filter)
  bool highpass = false;
  double pan = 0;  // -1 left .. 1 right
};

// A stereo buffer; a looping one wraps writes past its end round to its start.
struct Mix {
  std::vector<float> l, r;
  bool loop = false;
  explicit Mix(double seconds, bool looping = false)
      : l(static_cast<size_t>(seconds * kRate)), r(l.size()), loop(looping) {}
};

// Band-limiting correction for the steps of square and saw waves.
double polyBlep(double t, double dt) {
  if (t < dt) { t /= dt; return t + t - t * t - 1.0; }
  if (t > 1.0 - dt) { t = (t - 1.0) / dt; return t * t + t + t + 1.0; }
  return 0.0;
}

void addTone(Mix& m, double at, const Tone& t, Rng& rng) {
  const size_t n = static_cast<size_t>(t.dur * kRate);
  const size_t start = static_cast<size_t>(at * kRate);
  const double panA = (t.pan + 1.0) * kPi / 4.0;
  const double gl = std::cos(panA) * std::sqrt(2.0), gr = std::sin(panA) * std::sqrt(2.0);
  double phase = 0, hold = 0, holdPhase = 1, y = 0;
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kRate, u = static_cast<double>(i) / n;
    double f = t.f1 > 0 ? t.f0 * std::pow(t.f1 / t.f0, u) : t.f0;
    if (t.vibDepth != 0) f *= std::exp2(t.vibDepth * std::sin(2 * kPi * t.vibRate * s) / 12.0);
    const double dt = std::min(f / kRate, 0.5);
    double x = 0;
    switch (t.wave) {
      case Wave::Sine: x = std::sin(2 * kPi * phase); break;
      case Wave::Triangle: x = 4.0 * std::fabs(phase - 0.5) - 1.0; break;
      case Wave::Square: {
        x = phase < t.duty ? 1.0 : -1.0;
        x += polyBlep(phase, dt);
        x -= polyBlep(std::fmod(phase + 1.0 - t.duty, 1.0), dt);
        break;
      }
      case Wave::Saw: x = 2.0 * phase - 1.0 - polyBlep(phase, dt); break;
      case Wave::Noise:
        if (t.f0 <= 0) { x = rng.next(); break; }
        holdPhase += f / kRate;
        if (holdPhase >= 1.0) { holdPhase -= std::floor(holdPhase); hold = rng.next(); }
        x = hold;
        break;
    }
    phase += dt;
    phase -= std::floor(phase);
    if (t.cut0 > 0) {
      const double fc = t.cut1 > 0 ? t.cut0 * std::pow(t.cut1 / t.cut0, u) : t.cut0;
      y += (1.0 - std::exp(-2 * kPi * std::min(fc, 20000.0) / kRate)) * (x - y);
      x = t.highpass ? x - y : y;
    }
    double env = t.amp;
    if (t.attack > 0 && s < t.attack) env *= s / t.attack;
    if (t.decay > 0) env *= std::exp(-t.decay * s);
    const double left = t.dur - s;
    if (t.release > 0 && left < t.release) env *= left / t.release;
    size_t k = start + i;
    if (k >= m.l.size()) {
      if (!m.loop) break;
      k %= m.l.size();
    }
    m.l[k] += static_cast<float>(x * env * gl);
    m.r[k] += static_cast<float>(x * env * gr);
  }
}

void normalise(Mix& m, double peak) {
  float most = 0;
  for (size_t i = 0; i < m.l.size(); ++i) most = std::max({most, std::fabs(m.l[i]), std::fabs(m.r[i])});
  if (most <= 0) throw std::runtime_error("silent sound");
  const float g = static_cast<float>(peak / static_cast<double>(most));
  for (size_t i = 0; i < m.l.size(); ++i) { m.l[i] *= g; m.r[i] *= g; }
}

// Writes beside the target, then renames over it.
void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  const std::filesystem::path tmp = path.string() + ".tmp";
  FILE* f = std::fopen(tmp.string().c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + tmp.string());
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + tmp.string());
  std::filesystem::rename(tmp, path);
}

void put(std::vector<unsigned char>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void writeWav(const std::filesystem::path& path, const std::vector<float>& samples) {
  const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
  std::vector<unsigned char> b;
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put(b, 36 + dataSize, 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(b, 16, 4);
  put(b, 1, 2);          // PCM
  put(b, 1, 2);          // mono
  put(b, kRate, 4);
  put(b, kRate * 2, 4);  // bytes per second
  put(b, 2, 2);          // block align
  put(b, 16, 2);         // bits per sample
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put(b, dataSize, 4);
  for (float s : samples) {
    const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    put(b, static_cast<uint32_t>(static_cast<int16_t>(v)), 2);
  }
  writeFile(path, b);
}

void writeOgg(const std::filesystem::path& path, const Mix& m, float quality, const char* title) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, kRate, quality) != 0) throw std::runtime_error("vorbis setup failed");
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", title);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x5A6F726C);  // a fixed serial number keeps the file reproducible
  std::vector<unsigned char> out;
  ogg_page og;
  auto emit = [&] {
    out.insert(out.end(), og.header, og.header + og.header_len);
    out.insert(out.end(), og.body, og.body + og.body_len);
  };
  ogg_packet head, comm, code, op;
  vorbis_analysis_headerout(&vd, &vc, &head, &comm, &code);
  ogg_stream_packetin(&os, &head);
  ogg_stream_packetin(&os, &comm);
  ogg_stream_packetin(&os, &code);
  while (ogg_stream_flush(&os, &og) != 0) emit();
  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op) == 1) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og) != 0) emit();
      }
    }
  };
  for (size_t i = 0; i < m.l.size(); i += 1024) {
    const int n = static_cast<int>(std::min<size_t>(1024, m.l.size() - i));
    float** buf = vorbis_analysis_buffer(&vd, n);
    std::copy_n(m.l.data() + i, n, buf[0]);
    std::copy_n(m.r.data() + i, n, buf[1]);
    vorbis_analysis_wrote(&vd, n);
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &og) != 0) emit();
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  writeFile(path, out);
}

// ---- Sound effects --------------------------------------------------------------------

using W = Wave;

double midiHz(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }

struct Effect {
  const char* name;
  double seconds;
  std::function<void(Mix&, Rng&)> make;
};

// A short two-layer glide between two pitches.
void slide(Mix& m, Rng& r, double from, double to) {
  addTone(m, 0, {.wave = W::Triangle, .f0 = from, .f1 = to, .dur = 0.13, .amp = 0.6, .release = 0.03}, r);
  addTone(m, 0, {.wave = W::Square, .f0 = from, .f1 = to, .dur = 0.13, .amp = 0.15, .release = 0.03, .cut0 = 3000}, r);
}

const std::vector<Effect>& effects() {
  static const std::vector<Effect> list = {
      {"jump", 0.2, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Square, .f0 = 260, .f1 = 820, .dur = 0.17, .amp = 0.5, .release = 0.05,
                        .duty = 0.25, .cut0 = 5000}, r);
         addTone(m, 0, {.wave = W::Sine, .f0 = 520, .f1 = 1640, .dur = 0.17, .amp = 0.25, .release = 0.05}, r);
       }},
      {"bounce", 0.5, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Triangle, .f0 = 110, .f1 = 330, .dur = 0.05, .amp = 0.6, .release = 0.005}, r);
         addTone(m, 0.05, {.wave = W::Triangle, .f0 = 330, .f1 = 200, .dur = 0.44, .amp = 0.6, .decay = 5,
                           .vibRate = 17, .vibDepth = 2.5}, r);
         addTone(m, 0.05, {.wave = W::Sine, .f0 = 660, .f1 = 400, .dur = 0.3, .amp = 0.2, .decay = 9,
                           .vibRate = 17, .vibDepth = 2.5}, r);
       }},
      {"up", 0.15, [](Mix& m, Rng& r) { slide(m, r, 392, 784); }},
      {"down", 0.15, [](Mix& m, Rng& r) { slide(m, r, 784, 392); }},
      {"die", 0.75, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .f0 = 5000, .f1 = 150, .dur = 0.7, .amp = 0.7, .release = 0.1,
                        .decay = 3.5}, r);
         addTone(m, 0, {.wave = W::Square, .f0 = 440, .f1 = 55, .dur = 0.6, .amp = 0.35, .release = 0.1,
                        .duty = 0.5, .cut0 = 2500, .cut1 = 600}, r);
       }},
      {"warp", 0.8, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 150, .f1 = 2400, .dur = 0.75, .amp = 0.5, .attack = 0.05,
                        .release = 0.25, .vibRate = 28, .vibDepth = 0.8}, r);
         addTone(m, 0.1, {.wave = W::Triangle, .f0 = 300, .f1 = 4800, .dur = 0.65, .amp = 0.2, .attack = 0.1,
                          .release = 0.25, .vibRate = 21, .vibDepth = 1.2}, r);
         addTone(m, 0, {.wave = W::Noise, .dur = 0.75, .amp = 0.25, .attack = 0.2, .release = 0.3,
                        .cut0 = 400, .cut1 = 6000}, r);
       }},
      {"reset", 0.5, [](Mix& m, Rng& r) {
         for (int k = 0; k < 6; ++k)
           addTone(m, k * 0.045, {.wave = W::Square, .f0 = midiHz(96 - k * 5), .dur = 0.05, .amp = 0.4,
                                  .release = 0.01, .duty = 0.25, .cut0 = 6000}, r);
         addTone(m, 0.29, {.wave = W::Triangle, .f0 = midiHz(60), .f1 = midiHz(72), .dur = 0.2, .amp = 0.6,
                           .release = 0.08}, r);
       }},
      {"check", 0.7, [](Mix& m, Rng& r) {
         const int notes[] = {84, 88, 91, 96};
         for (int k = 0; k < 4; ++k) {
           const double d = k == 3 ? 0.45 : 0.25;
           addTone(m, k * 0.07, {.wave = W::Square, .f0 = midiHz(notes[k]), .dur = d, .amp = 0.25, .decay = 6,
                                 .duty = 0.25, .cut0 = 7000}, r);
           addTone(m, k * 0.07, {.wave = W::Sine, .f0 = midiHz(notes[k] + 12), .dur = d, .amp = 0.2,
                                 .decay = 7}, r);
         }
       }},
      {"rubber", 0.4, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 90, .f1 = 280, .dur = 0.36, .amp = 0.7, .release = 0.1,
                        .vibRate = 24, .vibDepth = 1.5}, r);
         addTone(m, 0, {.wave = W::Triangle, .f0 = 180, .f1 = 560, .dur = 0.3, .amp = 0.3, .release = 0.1,
                        .vibRate = 24, .vibDepth = 1.5}, r);
       }},
      {"click", 0.04, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .dur = 0.015, .amp = 0.6, .attack = 0, .release = 0.005, .decay = 250,
                        .cut0 = 2000, .highpass = true}, r);
         addTone(m, 0, {.wave = W::Sine, .f0 = 2200, .dur = 0.03, .amp = 0.5, .attack = 0.001, .decay = 150}, r);
       }},
      {"ok", 0.25, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Square, .f0 = midiHz(83), .dur = 0.07, .amp = 0.35, .release = 0.01,
                        .cut0 = 5000}, r);
         addTone(m, 0.07, {.wave = W::Square, .f0 = midiHz(88), .dur = 0.15, .amp = 0.35, .decay = 10,
                           .cut0 = 5000}, r);
       }},
      {"no", 0.3, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Saw, .f0 = 220, .dur = 0.1, .amp = 0.45, .release = 0.01, .cut0 = 1800}, r);
         addTone(m, 0.12, {.wave = W::Saw, .f0 = 156, .dur = 0.16, .amp = 0.45, .release = 0.04, .cut0 = 1800}, r);
       }},
      {"mech", 0.55, [](Mix& m, Rng& r) {
         for (int k = 0; k < 6; ++k)
           addTone(m, k * 0.045, {.wave = W::Noise, .dur = 0.02, .amp = 0.5, .attack = 0, .decay = 180,
                                  .cut0 = 3000, .highpass = true}, r);
         for (double f : {180.0, 431.0, 797.0, 1260.0})
           addTone(m, 0.27, {.wave = W::Sine, .f0 = f, .dur = 0.27, .amp = 0.3, .attack = 0.001,
                             .decay = 10 + f / 100}, r);
       }},
      {"tele", 0.6, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 600, .f1 = 2400, .dur = 0.55, .amp = 0.5, .release = 0.15,
                        .vibRate = 38, .vibDepth = 3}, r);
         addTone(m, 0, {.wave = W::Square, .f0 = 1200, .f1 = 300, .dur = 0.5, .amp = 0.12, .release = 0.15,
                        .duty = 0.125, .cut0 = 6000}, r);
       }},
      {"bull", 0.3, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .f0 = 7000, .f1 = 900, .dur = 0.22, .amp = 0.6, .attack = 0,
                        .decay = 14}, r);
         addTone(m, 0, {.wave = W::Square, .f0 = 1000, .f1 = 120, .dur = 0.12, .amp = 0.4, .attack = 0,
                        .cut0 = 4000}, r);
       }},
      {"smoke", 0.65, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .dur = 0.6, .amp = 0.8, .attack = 0.08, .release = 0.2, .decay = 3,
                        .cut0 = 1400, .cut1 = 250}, r);
       }},
      {"warb", 0.65, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 520, .dur = 0.6, .amp = 0.55, .attack = 0.02, .release = 0.15,
                        .vibRate = 9, .vibDepth = 4}, r);
         addTone(m, 0, {.wave = W::Triangle, .f0 = 260, .dur = 0.6, .amp = 0.3, .attack = 0.02, .release = 0.15,
                        .vibRate = 9, .vibDepth = 4}, r);
       }},
      {"friend", 0.4, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 1500, .f1 = 2600, .dur = 0.08, .amp = 0.5, .release = 0.02}, r);
         addTone(m, 0.1, {.wave = W::Sine, .f0 = 2600, .f1 = 1800, .dur = 0.1, .amp = 0.5, .release = 0.02}, r);
         addTone(m, 0.22, {.wave = W::Sine, .f0 = 1800, .f1 = 2900, .dur = 0.14, .amp = 0.5, .release = 0.05,
                           .vibRate = 30, .vibDepth = 0.5}, r);
       }},
      {"sdown", 0.5, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Square, .f0 = 1400, .f1 = 180, .dur = 0.45, .amp = 0.35, .release = 0.1,
                        .cut0 = 4000, .cut1 = 800}, r);
         addTone(m, 0, {.wave = W::Sine, .f0 = 1400, .f1 = 180, .dur = 0.45, .amp = 0.35, .release = 0.1}, r);
       }},
      {"bull2", 0.4, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .f0 = 3000, .f1 = 300, .dur = 0.35, .amp = 0.6, .attack = 0,
                        .decay = 8}, r);
         addTone(m, 0, {.wave = W::Sine, .f0 = 170, .f1 = 40, .dur = 0.3, .amp = 0.8, .attack = 0.001,
                        .decay = 6}, r);
       }},
      {"ret", 0.35, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Triangle, .f0 = 1600, .f1 = 400, .dur = 0.12, .amp = 0.5, .release = 0.02}, r);
         addTone(m, 0.14, {.wave = W::Sine, .f0 = 800, .dur = 0.07, .amp = 0.5, .decay = 20}, r);
         addTone(m, 0.22, {.wave = W::Sine, .f0 = 1200, .dur = 0.1, .amp = 0.5, .decay = 20}, r);
       }},
      {"blip", 0.08, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Sine, .f0 = 1320, .dur = 0.07, .amp = 0.6, .attack = 0.002, .decay = 30}, r);
         addTone(m, 0, {.wave = W::Square, .f0 = 1320, .dur = 0.07, .amp = 0.15, .attack = 0.002, .decay = 30,
                        .cut0 = 5000}, r);
       }},
      {"splin", 0.45, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .dur = 0.4, .amp = 0.8, .attack = 0.005, .release = 0.1, .decay = 6,
                        .cut0 = 6000, .cut1 = 500}, r);
         for (int k = 0; k < 3; ++k)
           addTone(m, 0.1 + k * 0.08, {.wave = W::Sine, .f0 = 300.0 + k * 90, .f1 = 900.0 + k * 200, .dur = 0.05,
                                       .amp = 0.3, .release = 0.01}, r);
       }},
      {"splout", 0.4, [](Mix& m, Rng& r) {
         addTone(m, 0, {.wave = W::Noise, .dur = 0.35, .amp = 0.8, .attack = 0.05, .release = 0.15,
                        .cut0 = 700, .cut1 = 5000}, r);
         addTone(m, 0.05, {.wave = W::Sine, .f0 = 400, .f1 = 1100, .dur = 0.06, .amp = 0.3, .release = 0.01}, r);
         addTone(m, 0.2, {.wave = W::Sine, .f0 = 550, .f1 = 1300, .dur = 0.05, .amp = 0.25, .release = 0.01}, r);
       }},
  };
  return list;
}

// ---- Music --------------------------------------------------------------------------------

// "c", "F#", "bb" -> pitch class 0..11 (may be -1 or 12 at the edges).
int pitchClass(const std::string& s, size_t& i) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  const int letter = std::tolower(static_cast<unsigned char>(s[i++])) - 'a';
  if (letter < 0 || letter > 6) throw std::runtime_error("bad note in \"" + s + "\"");
  int n = base[letter];
  if (i < s.size() && s[i] == '#') { ++n; ++i; }
  else if (i < s.size() && s[i] == 'b') { --n; ++i; }
  return n;
}

// "c5", "f#4", "bb3" -> MIDI note number.
int noteNumber(const std::string& s, size_t& i) {
  const int n = pitchClass(s, i);
  int octave = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) octave = octave * 10 + (s[i++] - '0');
  return 12 * (octave + 1) + n;
}

// A melody line: one token per step; a note, "-" holds the previous note, "." is a rest.
void playLine(Mix& m, const std::string& text, double step, Tone voice, int transpose, Rng& rng) {
  std::vector<std::pair<int, int>> notes;  // (note, steps)
  int at = 0;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == '|') { ++i; continue; }
    if (text[i] == '-') { if (!notes.empty()) ++notes.back().second; ++i; }
    else if (text[i] == '.') { notes.push_back({-1, 1}); ++i; }
    else notes.push_back({noteNumber(text, i), 1});
  }
  for (auto [note, steps] : notes) {
    if (note >= 0) {
      voice.f0 = midiHz(note + transpose);
      voice.dur = steps * step * 0.95;
      addTone(m, at * step, voice, rng);
    }
    at += steps;
  }
}

// Chord names, one per bar: "C", "Am", "G7", "FM7", "Em7".
std::vector<std::vector<int>> parseChords(const std::string& text) {
  std::vector<std::vector<int>> out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') { ++i; continue; }
    const int root = (pitchClass(text, i) + 12) % 12;
    std::string q;
    while (i < text.size() && text[i] != ' ') q += text[i++];
    std::vector<int> c = {root, root + (q.starts_with("m") ? 3 : 4), root + 7};
    if (q.ends_with("7")) c.push_back(root + (q.find('M') != std::string::npos ? 11 : 10));
    out.push_back(c);
  }
  return out;
}

struct Song {
  const char* file;
  const char* title;
  double bpm;
  const char* chords;  // one per bar of four beats
  const char* melody;  // eighth notes
  Tone lead;
  bool calm;      // pads and slow bass instead of arpeggio, bass line and drums
  uint32_t seed;
};

Mix renderSong(const Song& s) {
  const auto chords = parseChords(s.chords);
  const double beat = 60.0 / s.bpm, bar = 4 * beat;
  Mix m(chords.size() * bar, true);
  Rng rng{s.seed};
  playLine(m, s.melody, beat / 2, s.lead, 0, rng);
  for (size_t b = 0; b < chords.size(); ++b) {
    const auto& c = chords[b];
    const double t0 = b * bar;
    if (s.calm) {
      for (size_t k = 0; k < c.size(); ++k)
        for (double detune : {-0.06, 0.06})
          addTone(m, t0, {.wave = W::Triangle, .f0 = midiHz(60 + c[k] + detune), .dur = bar * 1.1, .amp = 0.06,
                          .attack = 0.8, .release = 0.9, .vibRate = 0.3 + k * 0.1, .vibDepth = 0.05,
                          .cut0 = 1500, .pan = detune * 8}, rng);
      addTone(m, t0, {.wave = W::Sine, .f0 = midiHz(36 + c[0]), .dur = bar, .amp = 0.35, .attack = 0.2,
                      .release = 0.6}, rng);
      addTone(m, t0 + 2 * beat, {.wave = W::Sine, .f0 = midiHz(43 + c[0]), .dur = 2 * beat, .amp = 0.2,
                                 .attack = 0.2, .release = 0.5}, rng);
      continue;
    }
    // Arpeggio in sixteenths, bass in eighths, drums.
    for (int k = 0; k < 16; ++k) {
      const int note = 60 + c[(k % 4 == 3 ? 1 : k % 4) % c.size()] + (k % 8 >= 4 ? 12 : 0);
      addTone(m, t0 + k * beat / 4, {.wave = W::Triangle, .f0 = midiHz(note), .dur = beat / 4, .amp = 0.08,
                                     .decay = 12, .pan = k % 2 ? 0.5 : -0.5}, rng);
    }
    static const int bassSteps[8] = {0, 0, 12, 0, 7, 0, 12, 7};
    for (int k = 0; k < 8; ++k)
      addTone(m, t0 + k * beat / 2, {.wave = W::Saw, .f0 = midiHz(36 + c[0] + bassSteps[k]), .dur = beat / 2 * 0.9,
                                     .amp = 0.3, .release = 0.03, .decay = 3, .cut0 = 700}, rng);
    const char* kick = "x.....x.x.......";
    const char* snare = "....x.......x..x";
    for (int k = 0; k < 16; ++k) {
      const double t = t0 + k * beat / 4;
      if (kick[k] == 'x')
        addTone(m, t, {.wave = W::Sine, .f0 = 150, .f1 = 45, .dur = 0.25, .amp = 0.7, .attack = 0.001,
                       .decay = 10}, rng);
      if (snare[k] == 'x' && !(k == 15 && b % 4 != 3)) {
        addTone(m, t, {.wave = W::Noise, .dur = 0.18, .amp = 0.35, .attack = 0.001, .decay = 18,
                       .cut0 = 1200, .highpass = true}, rng);
        addTone(m, t, {.wave = W::Triangle, .f0 = 220, .f1 = 160, .dur = 0.1, .amp = 0.3, .decay = 20}, rng);
      }
      if (k % 2 == 0)
        addTone(m, t, {.wave = W::Noise, .dur = 0.05, .amp = k % 4 ? 0.12 : 0.18, .attack = 0.001, .decay = 70,
                       .cut0 = 7000, .highpass = true, .pan = 0.3}, rng);
    }
  }
  normalise(m, 0.8);
  return m;
}

const std::vector<Song>& songs() {
  static const Tone bell = {.wave = W::Sine, .amp = 0.45, .attack = 0.005, .release = 0.2, .decay = 1.5,
                            .vibRate = 5, .vibDepth = 0.04, .pan = 0.2};
  static const Tone square = {.wave = W::Square, .amp = 0.2, .attack = 0.01, .release = 0.05, .decay = 1,
                              .vibRate = 5.5, .vibDepth = 0.12, .duty = 0.25, .cut0 = 3000};
  static const Tone reed = {.wave = W::Saw, .amp = 0.18, .attack = 0.02, .release = 0.06, .decay = 0.8,
                            .vibRate = 5, .vibDepth = 0.15, .cut0 = 1800, .pan = -0.15};
  static const std::string firstA =
      "e5 - g5 - c6 - g5 e5 | d5 - g5 - b5 - a5 g5 | c5 - e5 - a5 - g5 e5 | f5 - a5 - c6 - - . |"
      "e5 g5 c6 g5 e5 g5 c6 d6 | b5 - a5 - g5 - d5 - | a5 - c6 - f5 - a5 g5 | g5 - - - - - . . |";
  static const std::string firstB =
      "a4 - c5 - e5 - d5 c5 | c5 - a4 - f4 - - . | g4 - c5 - e5 - g5 - | f5 e5 d5 - b4 - - . |"
      "a4 - c5 e5 a5 - g5 - | f5 - e5 - c5 - a4 - | b4 - d5 - g5 - f5 - | d5 - - - . . . . |";
  static const std::string first = firstA + firstB + firstA;
  static const std::string second =
      "a4 - - c5 e5 - d5 c5 | d5 - - f5 a5 - g5 f5 | e5 - - g5 b5 - a5 g5 | a5 - - - e5 - - . |"
      "c6 - b5 a5 g5 - e5 - | f5 - e5 d5 c5 - a4 - | b4 - c5 d5 e5 - g#5 - | a5 - - - - - . . |"
      "e5 - e5 f5 g5 - e5 - | f5 - f5 g5 a5 - f5 - | g5 - g5 a5 b5 - g5 - | e5 - - - b4 - - . |"
      "a4 - c5 - e5 - a5 - | g5 - f5 - e5 - d5 - | c5 - b4 - c5 - d5 - | e5 - - - . . . . |";
  static const std::string pause =
      "c6 - - a5 e5 - - - | b5 - - g5 d6 - - - | a5 - - f5 c6 - e5 - | g5 - - - - - - - |"
      "a5 - c6 - e6 - c6 - | b5 - - g5 e5 - - - | f5 - a5 - c6 - d6 - | b5 - - - - - . . |";
  static const std::vector<Song> list = {
      {"pause.ogg", "Zorlan - Pause", 80, "FM7 Em7 Dm7 CM7 FM7 Em7 Dm7 G", pause.c_str(), bell, true, 11},
      {"first.ogg", "Zorlan - First Steps", 120,
       "C G Am F C G F G Am F C G Am F G G C G Am F C G F G", first.c_str(), square, false, 22},
      {"second.ogg", "Zorlan - Deeper", 100, "Am Dm Em Am C Dm E Am C F G Em Am Dm Am E", second.c_str(), reed,
       false, 33},
  };
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::filesystem::path root = argc > 1 ? argv[1] : ".";
    const auto soundDir = root / "zordata" / "sounds", musicDir = root / "zordata" / "music";
    std::filesystem::create_directories(soundDir);
    std::filesystem::create_directories(musicDir);
    uint32_t seed = 0x2545F491;
    for (const Effect& e : effects()) {
      Mix m(e.seconds);
      Rng rng{seed += 0x9E3779B9};
      e.make(m, rng);
      normalise(m, 0.85);
      writeWav(soundDir / (std::string(e.name) + ".wav"), m.l);
    }
    for (const Song& s : songs()) writeOgg(musicDir / s.file, renderSong(s), 0.3f, s.title);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zor_make_sounds: %s\n", e.what());
    return 1;
  }
  return 0;
}
