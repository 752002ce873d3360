#include "app/player_config.h"

#include "app/display.h"
#include "state/options.h"
#include "camera/camera.h"
#include "platform/file_io.h"
#include "platform/sound_backend.h"
#include "platform/user_dirs.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseYesNo(const std::string& value, bool* out) {
    if (value == "yes" || value == "true" || value == "on" || value == "1") {
        *out = true;
        return true;
    }
    if (value == "no" || value == "false" || value == "off" || value == "0") {
        *out = false;
        return true;
    }
    return false;
}

// One key's value into config; false when the value is not one the key takes.
bool SetKey(const std::string& key, const std::string& value, tPlayerConfig* config, bool* known) {
    *known = true;
    char* end = nullptr;
    if (key == "fullscreen") {
        if (value == "ask" || value == "yes" || value == "no") {
            config->fullScreen = value == "ask"   ? kFullScreenAsk
                                 : value == "yes" ? kFullScreenYes
                                                  : kFullScreenNo;
            return true;
        }
        return false;
    }
    if (key == "mouse_sensitivity") {
        const float number = std::strtof(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !std::isfinite(number) || number <= 0.0f ||
            number > 100.0f) {
            return false;
        }
        config->mouseSensitivity = number;
        return true;
    }
    if (key == "invert_mouse") {
        return ParseYesNo(value, &config->invertMouse);
    }
    if (key == "vsync") {
        return ParseYesNo(value, &config->vsync);
    }
    if (key == "volume") {
        const long long number = std::strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || number < 0 || number > 100) {
            return false;
        }
        config->volume = static_cast<int>(number);
        return true;
    }
    if (key == "render_scale") {
        return ParseRenderScale(value.c_str(), &config->renderScale, &config->renderScaleAuto);
    }
    if (key == "fullscreen_mode") {
        if (value == "mode" || value == "desktop") {
            config->desktopFullScreen = value == "desktop";
            return true;
        }
        return false;
    }
    *known = false;
    return false;
}

} // namespace

void ParsePlayerConfig(const char* text, const char* fileName, tPlayerConfig* config) {
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        line = Trim(line);
        if (line.empty()) {
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "%s line %d: \"key = value\" expected: %s\n", fileName, lineNumber,
                         line.c_str());
            continue;
        }
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        bool known = false;
        if (!SetKey(key, value, config, &known)) {
            if (known) {
                std::fprintf(stderr, "%s line %d: bad value \"%s\" for %s; the default is used\n",
                             fileName, lineNumber, value.c_str(), key.c_str());
            } else {
                std::fprintf(stderr, "%s line %d: unknown key \"%s\"; ignored\n", fileName,
                             lineNumber, key.c_str());
            }
        }
    }
}

void ReadPlayerConfig(tPlayerConfig* config) {
    char path[4096];
    if (!UserConfigPath(path, sizeof(path))) {
        return;
    }
    char reason[256];
    if (!CheckReadableFile(path, reason, sizeof(reason))) {
        // No file is the usual case; anything else there is the player's mistake to hear about.
        if (errno != ENOENT) {
            std::fprintf(stderr, "%s: cannot read it: %s; the defaults are used\n", path, reason);
        }
        return;
    }
    std::ifstream file(path);
    if (!file) {
        return;
    }
    std::ostringstream text;
    text << file.rdbuf();
    ParsePlayerConfig(text.str().c_str(), path, config);
}

void ApplyPlayerConfig(const tPlayerConfig& config) {
    // --windowed and --fullscreen answer the question themselves.
    if (GameOptions.askFullScreen && config.fullScreen != kFullScreenAsk) {
        GameOptions.askFullScreen = false;
        GameOptions.fullScreen = config.fullScreen == kFullScreenYes;
    }
    if (!config.vsync) {
        GameOptions.noVsync = true;
    }
    if (!GameOptions.renderScaleSet) {
        GameOptions.renderScale = config.renderScale;
        GameOptions.renderScaleAuto = config.renderScaleAuto;
    }
    UseDesktopFullScreen(config.desktopFullScreen);
    MouseSensitivity = config.mouseSensitivity;
    InvertMouse = config.invertMouse;
    SetSoundVolume(config.volume);
}
