// The image packs from their PNG sources, every image checked first.
#include "tools/art/pack.h"

#include <filesystem>
#include <system_error>

#include "assets/packs.h"
#include "tools/art/manifest.h"
#include "tools/common/png_io.h"
#include "common/files.h"

namespace art {

namespace {

// Checks one PNG against its manifest line and stores its pixels at `out`
// in the pack's byte order (blue, green, red[, alpha]).
// The size comes from the PNG's header, checked before the pixels are decoded.
bool convertImage(const ManifestEntry& e, const std::string& path, std::uint8_t* out, std::string& error) {
    PngFile file;
    if (!readPngHeader(path, file, error)) return false;
    const std::string block = blockName(e.pack, e.block);
    if (file.width != e.width || file.height != e.height) {
        error = path + ": is " + std::to_string(file.width) + "x" + std::to_string(file.height) + " pixels, " +
                block + " needs " + std::to_string(e.width) + "x" + std::to_string(e.height);
        if (e.frames > 1)
            error += " (" + std::to_string(e.frames) + " frames of " + std::to_string(e.width) + "x" +
                     std::to_string(e.height / e.frames) + " stacked top to bottom)";
        return false;
    }
    RgbaImage image;
    if (!decodePng(file, image, error)) return false;
    const std::size_t count = static_cast<std::size_t>(e.width) * e.height;
    for (std::size_t i = 0; i < count && !e.rgba; ++i) {
        const std::uint8_t alpha = image.pixels[i * 4 + 3];
        if (alpha != 255) {
            error = path + ": has transparent pixels (first at x " + std::to_string(i % e.width) + ", y " +
                    std::to_string(i / e.width) + ", alpha " + std::to_string(alpha) + "), but " + block +
                    " is an opaque rgb block";
            return false;
        }
    }
    swapColourOrder(image.pixels.data(), 4, out, e.rgba ? 4 : 3, count);
    return true;
}

}  // namespace

bool packArt(const std::string& artDir, const std::string& outDir, std::string& error) {
    std::vector<ManifestEntry> entries;
    if (!readManifest(common::joinPath(artDir, ManifestName), entries, error)) return false;
    std::string packs[PackCount + 1];
    for (int pack = 1; pack <= PackCount; ++pack) packs[pack].assign(packBytes(pack), '\0');
    for (const ManifestEntry& e : entries) {
        auto* at = reinterpret_cast<std::uint8_t*>(&packs[e.pack][packBlockOffset(e.pack, e.block)]);
        if (!convertImage(e, common::joinPath(artDir, e.file), at, error)) return false;
    }
    if (!common::makeFolders(outDir, error)) return false;
    // Each pack goes to a temporary name first, so a failed write never
    // leaves a half pack under the real name.
    for (int pack = 1; pack <= PackCount; ++pack) {
        const std::string path = common::joinPath(outDir, packFileName(pack));
        const std::string temporary = path + ".part";
        if (!common::writeFile(temporary, packs[pack], error)) return false;
        std::error_code ec;
        std::filesystem::rename(temporary, path, ec);
        if (ec) {
            error = path + ": cannot replace (" + ec.message() + ")";
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    return true;
}

}  // namespace art
