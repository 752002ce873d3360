#include "models/md2_loader.h"

bool LoadMd2Model(int, const char*, const char*, const char*) {
    return false;
}
bool LoadMd2SubModel(int, const char*, const char*, const char*) {
    return false;
}
bool LoadMaskMap(int, const char*) {
    return false;
}
