// Loading MD2 models (version 8) into scene object slots.
#pragma once

// Main model of object id from modelDir/fileName; skinName null: the file's first skin.
bool LoadMd2Model(int id, const char* modelDir, const char* fileName, const char* skinName);
// The carried model of object id; an empty skin name loads no skin.
bool LoadMd2SubModel(int id, const char* modelDir, const char* fileName, const char* skinName);
// Mask texture of a single-frame model, path relative to the working directory.
bool LoadMaskMap(int id, const char* mapPath);
