// The built-in program bank: 61 sounds as rows of normalized parameter values.
#include "VorlixPrograms.h"

namespace {
// Marks the slots past a row's value count; loaders never read them as values.
constexpr float kFiller = -90809.0f;
}

const float programs[num_programs][num_params] = {
    // 0 "InitSaw"
    {34, 0, 0.5f, 0, 0.5f, 0.01f, 0.523482f, 1, 0.154198f, 1, 0, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0, 0.5f, 0, 0, 0, 0.5f, 1, 1, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 1 "bass-didgeribassic": drone with a nasal resonant formant that opens and settles; mono legato
    {34, 0, 0.5f, 0.2f, 0, 0.211474f, 0.516973f, 1, 0.265915f, 0.459522f, 0.55f, 0.1f, 0.66f, 0.355656f, 0.541082f, 0.5f, 0.285744f, 0.2f, 0.35f, 0.510665f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.523625f, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 2 "bass-didgeribassidic": faster, grittier didgeridoo bass: shorter formant sweep, clipped
    {34, 0, 0.5f, 0.2f, 0, 0.177828f, 0.488923f, 1, 0.251487f, 0.442885f, 0.62f, 0.35f, 0.74f, 0.251487f, 0.434721f, 0.5f, 0.265915f, 0.3f, 0.5f, 0.5f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.486663f, 0, 1, 0, 0, 0.5f, 0.609013f, 1, kFiller, kFiller},
    // 3 "bass-distbass": punchy saturated saw bass
    {34, 0, 0.5f, 0.2f, 0, 0.141421f, 0.541082f, 0.8f, 0.227244f, 0.520524f, 0.2f, 0.45f, 0.8f, 0.05f, 0.454994f, 0.3f, 0.1296f, 0.25f, 0.4f, 0.5f, 0, 0, 0, 0.5f, 1, 0.055556f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 4 "bass-distbass2": thick detuned bass through the fifth-power shaper
    {34, 0, 0.5f, 0, 1, 0.141421f, 0.523482f, 1, 0.227244f, 0.483221f, 0.3f, 0.5f, 0.78f, 0.05f, 0.434721f, 0.3f, 0.1296f, 0.2f, 0.3f, 0.5f, 0, 0, 0, 1, 1, 0.055556f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0.5f, kFiller, kFiller},
    // 5 "bass-mutable"
    {36, 0.179135f, 0, 0, 0.509221f, 0, 0.4446f, 0.73f, 0.250394f, 0, 0.255f, 1, 1, 0, 0.367306f, 1, 0.251518f, 0.83f, 0.5f, 0.554606f, 0.5f, 0, 0, 1, 1, 0.275f, 1, 0.454575f, 1, 0, 0, 0, 0.5f, 0.609013f, 1, 0.22f, 1},
    // 6 "bass-distopianbass": dark, dirty, slowly opening mono bass
    {34, 0.2f, 0.5f, 0, 0.5f, 0.251487f, 0.614788f, 0.85f, 0.316228f, 0.416738f, 0.45f, 0.4f, 0.7f, 0.472871f, 0.643459f, 0.5f, 0.1296f, 0.15f, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.055556f, 1, 0.58263f, 0, 1, 0, 0, 1, 0.609013f, 1, kFiller, kFiller},
    // 7 "bass-drwho": galloping plucked bass
    {34, 0.4f, 0.5f, 0.2f, 0.5f, 0.141421f, 0.472871f, 0.8f, 0.227244f, 0.572848f, 0.2f, 0, 0.75f, 0.05f, 0.382603f, 0.2f, 0.1296f, 0, 0.3f, 0.5f, 0, 0, 0, 0, 1, 0.055556f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 8 "bass-fatripper": fat detuned saw bass, mono legato
    {34, 0, 0.5f, 0, 0.53f, 0.156508f, 0.523482f, 1, 0.240281f, 0.503224f, 0.3f, 0.35f, 0.85f, 0.05f, 0.472871f, 0.4f, 0.1296f, 0.3f, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.055556f, 1, 0.507236f, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 9 "bass-grind": grinding synced bass
    {34, 0.2f, 0.5f, 0, 0.325f, 0.141421f, 0.523482f, 1, 0.227244f, 0.59264f, 0.25f, 0.45f, 0.8f, 0.05f, 0.488923f, 0.5f, 0.1296f, 0.15f, 0.55f, 0.5f, 0, 0, 0, 0.5f, 1, 0.055556f, 0, 0, 0, 1, 0, 1, 1, 0.609013f, 0.5f, kFiller, kFiller},
    // 10 "bass-juno": round square bass with an octave below
    {34, 0.2f, 0.5f, 0.2f, 0, 0.141421f, 0.488923f, 0.8f, 0.211474f, 0.483221f, 0.25f, 0, 0.82f, 0.05f, 0.421048f, 0.25f, 0.1296f, 0, 0.45f, 0.514221f, 0, 0, 0, 0.5f, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 11 "bass-juno2": saw bass on a square sub
    {36, 0, 0.5f, 0.2f, 0.5f, 0.141421f, 0.523482f, 0.8f, 0.219783f, 0.459522f, 0.4f, 0, 0.78f, 0.05f, 0.454994f, 0.35f, 0.1296f, 0, 0.3f, 0.514221f, 0, 0, 0, 0.5f, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, 0.7f, 0},
    // 12 "bass-vorlix": the house bass: resonant, velocity-accented, sliding
    {34, 0, 0.5f, 0.2f, 0, 0.141421f, 0.523482f, 1, 0.227244f, 0.459522f, 0.45f, 0.25f, 0.9f, 0.05f, 0.411134f, 0.2f, 0.1296f, 0.25f, 0.4f, 0.5f, 1, 0, 0, 1, 1, 0.055556f, 1, 0.567602f, 1, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 13 "bass-paftdunk": filtered, driven French-house saw bass
    {34, 0, 0.5f, 0, 1, 0.141421f, 0.523482f, 1, 0.251487f, 0.503224f, 0.35f, 0.5f, 0.7f, 0.251487f, 0.488923f, 0.3f, 0.1296f, 0.25f, 0.35f, 0.5f, 0, 0, 0, 0.5f, 1, 0.055556f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 1, kFiller, kFiller},
    // 14 "bass-squareplucks": short square plucks
    {34, 0.2f, 0.5f, 0.2f, 1, 0.118921f, 0.503534f, 0, 0.251487f, 0.459522f, 0, 0, 0.85f, 0.05f, 0.400446f, 0, 0.1296f, 0, 0.25f, 0.5f, 0, 0, 0, 0.5f, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 15 "bass-subshake": sine sub bass with a little saturation
    {34, 0.6f, 0.5f, 0.4f, 1, 0.177828f, 0.523482f, 0.9f, 0.265915f, 0.520524f, 0, 0.3f, 0, 0.05f, 0.530111f, 1, 0.1296f, 0.1f, 0.2f, 0.5f, 0, 0, 0, 0, 1, 0.055556f, 1, 0.523625f, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 16 "bass-teebee-saw-dist": acid saw line, resonant and distorted
    {34, 0, 0.5f, 0, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.43047f, 0.6f, 0.5f, 0.84f, 0, 0.434721f, 0, 0.1296f, 0.2f, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.567602f, 0, 1, 0, 0, 0.5f, 0.609013f, 1, kFiller, kFiller},
    // 17 "bass-teebee-saw-res": acid saw line, squelchy resonance
    {34, 0, 0.5f, 0, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.43047f, 0.7f, 0, 0.84f, 0, 0.434721f, 0, 0.1296f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.567602f, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 18 "bass-teebee-sqr-dist": acid square line, hard-clipped
    {34, 0.2f, 0.5f, 0.2f, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.43047f, 0.55f, 0.5f, 0.84f, 0, 0.434721f, 0, 0.1296f, 0.2f, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.567602f, 0, 1, 0, 0, 0.5f, 0.609013f, 1, kFiller, kFiller},
    // 19 "bass-teebee-sqr-res": acid square line, squelchy resonance
    {34, 0.2f, 0.5f, 0.2f, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.43047f, 0.72f, 0, 0.84f, 0, 0.434721f, 0, 0.1296f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.567602f, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 20 "bass-teebee-sqr-res2": acid square line, screaming resonance and long slide
    {34, 0.2f, 0.5f, 0.2f, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.401375f, 0.88f, 0, 0.86f, 0, 0.541082f, 0, 0.1296f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.636738f, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 21 "bass-teebee-sqr": acid square line, plain
    {34, 0.2f, 0.5f, 0.2f, 0.5f, 0.156508f, 0.516973f, 0.85f, 0.177828f, 0.43047f, 0.2f, 0, 0.8f, 0, 0.382603f, 0, 0.1296f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0.055556f, 1, 0.567602f, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 22 "bass-2zero2": mono square/saw bass on a sub
    {36, 0.2f, 0.5f, 0, 0.5f, 0.141421f, 0.523482f, 0.95f, 0.211474f, 0.474258f, 0.3f, 0, 0.8f, 0.05f, 0.447214f, 0.2f, 0.1296f, 0, 0.4f, 0.5f, 0, 0, 0, 0, 1, 0.055556f, 1, 0.523625f, 0, 1, 0, 0, 1, 0.609013f, 0, 0.6f, 0},
    // 23 "vintage-growl": growling mono synth: slow filter bite over a two-octave sub
    {36, 0, 0.5f, 0.2f, 0.47f, 0.177828f, 0.523482f, 1, 0.265915f, 0.459522f, 0.45f, 0.25f, 0.78f, 0.416179f, 0.581431f, 0.55f, 0.1296f, 0.2f, 0.45f, 0.517776f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.548736f, 0, 1, 0, 0, 1, 0.609013f, 0, 0.45f, 1},
    // 24 "vintage-scrape": scraping synced lead-bass
    {36, 0, 0.5f, 0, 0.375f, 0.156508f, 0.523482f, 0.8f, 0.251487f, 0.689205f, 0.4f, 0.3f, 0.8f, 0.05f, 0.516973f, 0.5f, 0.1296f, 0.35f, 0.7f, 0.514221f, 0, 0, 0, 0.5f, 1, 0.388889f, 0, 0, 0, 1, 0, 1, 1, 0.609013f, 1, 0.3f, 0},
    // 25 "fx-crystal": glassy metallic shimmer with a long ring
    {34, 0.6f, 0.55f, 0.4f, 1, 0.141421f, 0.691442f, 0, 0.494923f, 1, 0.2f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.4f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 1, 0, 1, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 26 "fx-powertool": drill: buzzing synced square, gliding between pitches
    {34, 0.2f, 0.5f, 0, 0.625f, 0.211474f, 0.523482f, 1, 0.302138f, 0.752004f, 0.5f, 0.7f, 0, 0.05f, 0.530111f, 1, 0.1296f, 0.35f, 0.6f, 0.7f, 0, 0, 0, 1, 1, 0.055556f, 1, 0.701436f, 0, 1, 0, 1, 1, 0.609013f, 0.5f, kFiller, kFiller},
    // 27 "fx-powertool2": spooling power tool: noisy synced buzz that winds up
    {34, 0, 0.45f, 1, 0.5f, 0.416179f, 0.523482f, 1, 0.339809f, 0.711853f, 0.6f, 0.6f, 0.75f, 0.53183f, 0.680375f, 0.6f, 0.1296f, 0.6f, 0.45f, 0.5f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.673718f, 0, 1, 1, 0, 1, 0.609013f, 1, kFiller, kFiller},
    // 28 "pad-damn": big slow detuned saw pad
    {34, 0, 0.5f, 0, 1, 0.588566f, 0.73111f, 0.95f, 0.472871f, 0.689205f, 0.35f, 0, 0.7f, 0.699927f, 0.73111f, 0.8f, 0.472871f, 0, 0.3f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 0, 0, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 29 "pad-startyourengines": pad whose filter revs up slowly like an engine
    {34, 0, 0.5f, 0.2f, 0, 0.53183f, 0.523482f, 0.9f, 0.447214f, 0.483221f, 0.4f, 0.25f, 0.85f, 0.840896f, 0.809107f, 0.7f, 0.447214f, 0.3f, 0.4f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 0, 0, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 30 "pad-sweeper": resonant filter sweep pad
    {34, 0, 0.5f, 0, 0.6f, 0.562341f, 0.523482f, 0.9f, 0.508133f, 0.43047f, 0.6f, 0, 0.88f, 0.795271f, 0.840896f, 0.3f, 0.508133f, 0, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 1, 0, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 31 "piano-metal": metallic electric piano
    {34, 0.6f, 0.3125f, 0.4f, 0.5f, 0.118921f, 0.773055f, 0, 0.359304f, 0.773834f, 0.2f, 0, 0.85f, 0.05f, 0.541082f, 0, 0.1296f, 0, 0.5f, 0.50711f, 1, 0, 0, 0.5f, 1, 1, 0, 0, 0, 1, 1, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 32 "piano-plucks": plucked piano-like saw
    {34, 0, 0.5f, 0.2f, 1, 0.118921f, 0.680375f, 0, 0.328652f, 0.520524f, 0, 0, 0.88f, 0.05f, 0.516973f, 0, 0.1296f, 0, 0.3f, 0.510665f, 0, 0, 0, 0.5f, 1, 1, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 33 "lead-ripper": ripping detuned distorted lead
    {34, 0, 0.5f, 0, 0.940646f, 0.156508f, 0.523482f, 1, 0.285744f, 0.752004f, 0.3f, 0.5f, 0.8f, 0.05f, 0.488923f, 0.6f, 0.1296f, 0.45f, 0.3f, 0.5f, 0, 0, 0, 1, 1, 0.055556f, 1, 0.548736f, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 34 "lead-squareprecision": clean square lead, exact and dry
    {34, 0.2f, 0.5f, 0.2f, 1, 0.156508f, 0.523482f, 0.9f, 0.227244f, 0.88f, 0.3f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.2f, 0.5f, 0, 0, 0, 0, 1, 0.055556f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 35 "lead-squareslider": square lead that slides between notes
    {34, 0.2f, 0.5f, 0.2f, 0.62f, 0.156508f, 0.523482f, 0.9f, 0.265915f, 0.88f, 0.2f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.5f, 0.508888f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.605657f, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 36 "lead-synclead": classic hard-sync lead
    {34, 0, 0.5f, 0, 0.4f, 0.156508f, 0.523482f, 0.9f, 0.265915f, 0.832621f, 0, 0.2f, 0.9f, 0.05f, 0.541082f, 0.5f, 0.1296f, 0.2f, 0.7f, 0.514221f, 0, 0, 0, 0.5f, 1, 0.055556f, 1, 0.548736f, 0, 1, 0, 1, 1, 0.609013f, 1, kFiller, kFiller},
    // 37 "synth-bluepipes": soft organ pipes
    {34, 0.6f, 0.5f, 0.4f, 1, 0.29907f, 0.523482f, 1, 0.328652f, 0.773834f, 0.5f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.45f, 0.512443f, 0, 0, 0, 0.5f, 0.5f, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 38 "synth-boosterbips": bright short blips
    {34, 0.2f, 0.5f, 0.6f, 1, 0.118921f, 0.4f, 0, 0.227244f, 0.832621f, 0, 0, 0.9f, 0.05f, 0.326963f, 0, 0.1296f, 0, 0.3f, 0.5f, 0, 0, 0, 0.5f, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 39 "synth-boosterbips2": resonant saw blips
    {34, 0, 0.5f, 0, 0.5f, 0.118921f, 0.62f, 0, 0.240281f, 0.609727f, 0.6f, 0, 0.88f, 0.05f, 0.45f, 0, 0.1296f, 0, 0, 0.517776f, 0, 0, 0, 0.5f, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 40 "synth-crystalmines": crystalline synced bells
    {34, 0.4f, 0.4375f, 0.6f, 1, 0.118921f, 0.598806f, 0, 0.390836f, 1, 0.2f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 1, 1, 1, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 41 "synth-damnhappy": bright happy supersaw chords
    {34, 0, 0.5f, 0, 1, 0.141421f, 0.523482f, 0.8f, 0.302138f, 0.852498f, 0.2f, 0, 0.8f, 0.05f, 0.472871f, 0.6f, 0.1296f, 0, 0.35f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 42 "synth-electrance": trance supersaw
    {34, 0, 0.5f, 0, 0.575f, 0.177828f, 0.523482f, 0.9f, 0.349964f, 0.832621f, 0.3f, 0, 0, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 43 "synth-eyesstabbedout": harsh distorted stab
    {34, 0, 0.5f, 0.2f, 0.940646f, 0.118921f, 0.472871f, 0.5f, 0.240281f, 0.689205f, 0.25f, 0.6f, 0.9f, 0.05f, 0.411134f, 0.2f, 0.1296f, 0.25f, 0.4f, 0.5f, 0, 0, 0, 1, 1, 0.611111f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0.5f, kFiller, kFiller},
    // 44 "synth-firefly-dead"
    {36, 0.03125f, 0.361462f, 0.032393f, 0.585938f, 0.023438f, 0.054688f, 0.835938f, 0.229361f, 0.587961f, 0, 0.09176f, 0.929688f, 0, 0.406125f, 0.176764f, 0.333333f, 1, 1, 1, 0, 0, 0.953125f, 1, 1, 0, 1, 0.541889f, 0, 0, 1, 0, 1, 0.320088f, 1, 0.074012f, 1},
    // 45 "synth-firefly-alive": the firefly brought to life: the same mono lead with a tame spread and a sub
    {36, 0.03125f, 0.45f, 0.032393f, 0.55f, 0.023438f, 0.488923f, 0.95f, 0.229361f, 0.64f, 0.25f, 0.15f, 0.9f, 0, 0.406125f, 0.3f, 0.333333f, 0.6f, 0.7f, 0.5f, 0, 0, 0, 1, 1, 0, 1, 0.548736f, 0, 0, 1, 0, 1, 0.609013f, 1, 0.2f, 0},
    // 46 "synth-moogish": warm ladder-filter mono synth
    {34, 0, 0.5f, 0.2f, 0, 0.156508f, 0.523482f, 1, 0.265915f, 0.572848f, 0.4f, 0.15f, 0.85f, 0.05f, 0.503534f, 0.35f, 0.1296f, 0.1f, 0.4f, 0.5f, 0, 0, 0, 0, 1, 0.055556f, 1, 0.523625f, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 47 "synth-richness": rich wide detuned poly synth
    {34, 0, 0.5f, 0.2f, 1, 0.251487f, 0.523482f, 0.9f, 0.37606f, 0.752004f, 0.3f, 0, 0.7f, 0.316228f, 0.614788f, 0.6f, 0.1296f, 0, 0.35f, 0.5f, 0, 0, 0, 1, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 48 "synth-stabby": short stab chords
    {34, 0, 0.5f, 0, 0.55f, 0.118921f, 0.5f, 0, 0.251487f, 0.62475f, 0.1f, 0, 0.88f, 0.05f, 0.400446f, 0.1f, 0.1296f, 0, 0.5f, 0.514221f, 0, 0, 0, 0.5f, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 49 "synth-steampunk": clanking steam-machine synth
    {34, 0.4f, 0.275f, 0.2f, 0, 0.141421f, 0.541082f, 0.7f, 0.316228f, 0.661208f, 0.35f, 0.35f, 0.75f, 0.05f, 0.516973f, 0.4f, 0.1296f, 0.3f, 0.4f, 0.5f, 0, 0, 0, 0.5f, 1, 0.611111f, 0, 0, 0, 1, 1, 0, 1, 0.609013f, 1, kFiller, kFiller},
    // 50 "orch-brassy": brass section: filter swells open on each attack
    {34, 0, 0.5f, 0, 0.56f, 0.278316f, 0.523482f, 0.9f, 0.285744f, 0.549363f, 0.3f, 0, 0.82f, 0.343979f, 0.516973f, 0.55f, 0.1296f, 0, 0.5f, 0.512443f, 1, 0, 0, 0.5f, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 51 "orch-pizzstrings": pizzicato strings
    {34, 0, 0.5f, 0, 0.56f, 0.118921f, 0.488923f, 0, 0.285744f, 0.609727f, 0, 0, 0.8f, 0.05f, 0.361844f, 0, 0.1296f, 0, 0.5f, 0.5f, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 52 "orch-plucks": harp-like plucks
    {34, 0.4f, 0.5f, 0, 1, 0.118921f, 0.712104f, 0, 0.37606f, 0.661208f, 0, 0, 0.8f, 0.05f, 0.488923f, 0, 0.1296f, 0, 0.25f, 0.5f, 0, 0, 0, 0.5f, 1, 1, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 53 "orch-softbrass": soft, slow-speaking brass
    {34, 0, 0.5f, 0.2f, 0.55f, 0.393598f, 0.523482f, 0.85f, 0.316228f, 0.503224f, 0.3f, 0, 0.78f, 0.416179f, 0.581431f, 0.6f, 0.1296f, 0, 0.4f, 0.510665f, 0, 0, 0, 0.5f, 1, 0.833333f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 54 "orch-strings": string section: slow bow, wide ensemble
    {34, 0, 0.5f, 0, 0.575f, 0.514369f, 0.523482f, 0.9f, 0.404103f, 0.752004f, 0.25f, 0, 0.6f, 0.05f, 0.530111f, 1, 0.1296f, 0, 0.5f, 0.5f, 0, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 55 "drums-bd-dirtykick": dirty kick: a resonant peak diving from the low mids, crunched by the fifth-power shaper
    {34, 0.6f, 0.5f, 0.2f, 0, 0, 0.7f, 0, 0.316228f, 0.45f, 0.1f, 0.4f, 0.6f, 0, 0.361844f, 0, 0.240281f, 0.25f, 0.15f, 0.5f, 0, 0, 0, 0, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 0.5f, 0.609013f, 0.5f, kFiller, kFiller},
    // 56 "drums-bd-gentlekick": gentle kick: a soft sine thump with a short downward pitch sweep
    {34, 0.6f, 0.5f, 0.6f, 0.5f, 0, 0.65f, 0, 0.316228f, 0.45f, 0.05f, 0, 0.55f, 0, 0.326963f, 0, 0.240281f, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 57 "drums-bd-logdrum": log drum: a deep hollow pitched 'bwomp' with a slower resonant dive
    {34, 0.4f, 0.5f, 0.6f, 1, 0, 0.7f, 0, 0.316228f, 0.55f, 0.1f, 0, 0.62f, 0, 0.400446f, 0, 0.240281f, 0, 0.2f, 0.5f, 0, 0, 0, 0, 1, 0.388889f, 0, 0, 0, 1, 0, 0, 0.5f, 0.609013f, 0, kFiller, kFiller},
    // 58 "drums-hihat"
    {34, 0.851562f, 0.5f, 0.84375f, 0.554688f, 0.007812f, 0.278032f, 0.40625f, 0.309375f, 0.585938f, 0.294001f, 0, 1, 0, 0.491516f, 0.710938f, 0.270312f, 0, 0.5f, 0.5625f, 1, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 59 "drums-snare": snare: noise over a tonal body
    {34, 0.8f, 0.5f, 0.4f, 1, 0, 0.421048f, 0, 0.265915f, 0.773834f, 0, 0, 0.85f, 0.05f, 0.361844f, 0, 0.1296f, 0, 0.35f, 0.5f, 0, 0, 0, 0, 0.5f, 0.388889f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 0, kFiller, kFiller},
    // 60 "drums-snare2": dirty clipped snare
    {34, 1, 0.5f, 0.2f, 1, 0, 0.5f, 0, 0.265915f, 0.8f, 0, 0.4f, 0.85f, 0.05f, 0.382603f, 0, 0.1296f, 0.4f, 0.3f, 0.5f, 0, 0, 0, 0, 0.5f, 0.388889f, 0, 0, 0, 1, 0, 0, 1, 0.609013f, 1, kFiller, kFiller},
};

const char* const programnames[num_programs] = {
    "InitSaw",
    "bass-didgeribassic",
    "bass-didgeribassidic",
    "bass-distbass",
    "bass-distbass2",
    "bass-mutable",
    "bass-distopianbass",
    "bass-drwho",
    "bass-fatripper",
    "bass-grind",
    "bass-juno",
    "bass-juno2",
    "bass-vorlix",
    "bass-paftdunk",
    "bass-squareplucks",
    "bass-subshake",
    "bass-teebee-saw-dist",
    "bass-teebee-saw-res",
    "bass-teebee-sqr-dist",
    "bass-teebee-sqr-res",
    "bass-teebee-sqr-res2",
    "bass-teebee-sqr",
    "bass-2zero2",
    "vintage-growl",
    "vintage-scrape",
    "fx-crystal",
    "fx-powertool",
    "fx-powertool2",
    "pad-damn",
    "pad-startyourengines",
    "pad-sweeper",
    "piano-metal",
    "piano-plucks",
    "lead-ripper",
    "lead-squareprecision",
    "lead-squareslider",
    "lead-synclead",
    "synth-bluepipes",
    "synth-boosterbips",
    "synth-boosterbips2",
    "synth-crystalmines",
    "synth-damnhappy",
    "synth-electrance",
    "synth-eyesstabbedout",
    "synth-firefly-dead",
    "synth-firefly-alive",
    "synth-moogish",
    "synth-richness",
    "synth-stabby",
    "synth-steampunk",
    "orch-brassy",
    "orch-pizzstrings",
    "orch-plucks",
    "orch-softbrass",
    "orch-strings",
    "drums-bd-dirtykick",
    "drums-bd-gentlekick",
    "drums-bd-logdrum",
    "drums-hihat",
    "drums-snare",
    "drums-snare2",
};
