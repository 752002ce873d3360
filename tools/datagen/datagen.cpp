#include "datagen.h"

#include "wav_writer.h"

#include <cstdio>
#include <fstream>

namespace dg {

void Output::Bmp(const std::string& rel, const Image& image) {
    if (!WriteBmp(Path(rel), image))
        failures.push_back(rel + ": cannot write the bitmap");
}

void Output::Md2(const std::string& rel, const Md2Model& model) {
    std::string why;
    if (!WriteMd2(Path(rel), model, &why))
        failures.push_back(rel + ": " + why);
}

void Output::Bytes(const std::string& rel, const std::vector<uint8_t>& bytes) {
    if (!WriteFileBytes(Path(rel), bytes))
        failures.push_back(rel + ": cannot write the file");
}

void Output::Wav(const std::string& rel, const std::vector<float>& samples, uint32_t rate) {
    if (!WriteWav(Path(rel), samples, rate))
        failures.push_back(rel + ": cannot write the sound");
}

void GenerateSettings(Output& out) {
    const std::string text = "800 600 32\n";
    out.Bytes("Setup.ini", std::vector<uint8_t>(text.begin(), text.end()));
}

bool GenerateAll(const std::string& root) {
    Output out;
    out.dataDir = root + "/Data";
    GenerateSettings(out);
    GenerateTerrain(out);
    GenerateSky(out);
    GenerateEffects(out);
    GenerateFont(out);
    GenerateSoldier(out);
    GenerateLetters(out);
    std::vector<SceneryKind> kinds = GenerateScenery(out);
    GenerateLevel(out, kinds);
    GenerateSound(out);
    if (!GenerateIcon(root))
        out.failures.push_back("../Icons/: cannot write the icons and the valley's still");
    for (const std::string& f : out.failures)
        std::fprintf(stderr, "datagen: %s\n", f.c_str());
    return out.failures.empty();
}

} // namespace dg
