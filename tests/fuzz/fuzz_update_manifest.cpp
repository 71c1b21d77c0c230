// An update manifest as a mirror (or anyone between) may serve it: decoded,
// its download locations listed, and written back.
#include "FuzzSupport.h"
#include "app/UpdateManifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const UpdateManifestDecoded decoded = UpdateManifest::decode(fuzz::bytes(data, size));
    if (!decoded.manifest) {
        if (decoded.error.isEmpty()) __builtin_trap();
        return 0;
    }
    const UpdateManifest& m = *decoded.manifest;
    const QStringList locations = m.downloadLocations();
    for (const QString& url : locations)
        if (url.isEmpty() || locations.count(url) != 1) __builtin_trap();
    // What the client writes decodes again to the same manifest.
    const UpdateManifestDecoded again = UpdateManifest::decode(m.encode());
    if (!again.manifest) __builtin_trap();
    const UpdateManifest& n = *again.manifest;
    if (n.version != m.version || n.releaseDate != m.releaseDate ||
        n.downloadUrl != m.downloadUrl || n.downloadUrls != m.downloadUrls ||
        n.sha256 != m.sha256 || n.releaseNotes != m.releaseNotes || n.fileSize != m.fileSize ||
        n.minVersion != m.minVersion || n.mandatory != m.mandatory)
        __builtin_trap();
    return 0;
}
