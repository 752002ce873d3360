#!/usr/bin/env python3
"""Mends the faults of the GL emulation in the script Emscripten 3.1.6 writes (Debian 12).

1. It counts 28 texture units at least, and gives each a vertex attribute: with the three of
   position, normal and colour that passes the 16 attributes WebGL offers, and the shaders of a
   multitextured draw fail to link. The game uses two units; eight are counted.
2. Once any texture matrix is set, a texture read becomes texture2D(unit, (matrix * coord).xy),
   and the search that gathers repeated reads into one variable stops at the first closing
   parenthesis, which leaves the fragment shader unbalanced: it now takes one level of nesting.
   Also, once a matrix is set, the shaders multiply every unit's coordinates by its matrix
   uniform, but a uniform is only sent after its matrix changed, and an unsent one is all zeros:
   the textures of a never-changed unit collapse to one texel. Each program now sends its
   matrices on its first use.

The texts are those of the minified script (-O2 and above). Each must be found exactly once:
another Emscripten fails here rather than drawing wrong.
"""
import sys

MENDS = [
    ('GLImmediate.MAX_TEXTURES=Math.max(Module["GL_MAX_TEXTURE_IMAGE_UNITS"]||'
     'GLctx.getParameter(GLctx.MAX_TEXTURE_IMAGE_UNITS),28);',
     'GLImmediate.MAX_TEXTURES=Math.min(Module["GL_MAX_TEXTURE_IMAGE_UNITS"]||'
     'GLctx.getParameter(GLctx.MAX_TEXTURE_IMAGE_UNITS),8);'),
    ("this.textureMatrixVersion=[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0];",
     "this.textureMatrixVersion=new Array(64).fill(-1);"),
    (r"var texLoadRegex=/(texture.*?\(.*?\))/g;",
     r"var texLoadRegex=/(texture\w*\((?:[^()]|\([^()]*\))*\))/g;"),
    (r"texLoadRegex=/(texture.*\(.*\))/g",
     r"texLoadRegex=/(texture\w*\((?:[^()]|\([^()]*\))*\))/g"),
]


def main(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for old, new in MENDS:
        if text.count(new) == 1 and text.count(old) == 0:
            continue  # mended by an earlier run of the same build
        if text.count(old) != 1:
            sys.exit(f"{path}: the GL emulation text to mend was found {text.count(old)} times "
                     f"(this Emscripten is not 3.1.6?):\n  {old}")
        text = text.replace(old, new)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv[1])
