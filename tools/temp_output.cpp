#include "tools/temp_output.h"

#include "platform/files.h"

bool WriteThroughTemp(const std::string& path, const std::function<bool(const std::string& tmp)>& make) {
    const std::string tmp = path + ".tmp";
    if (make(tmp) && plat::RenameFile(tmp, path) == 0)
        return true;
    plat::UnlinkFile(tmp);
    return false;
}

bool FillThroughTemp(const std::string& path, const std::function<bool(FILE* out)>& fill, std::string* error) {
    const std::string tmp = path + ".tmp";
    std::string failed = "cannot rename " + tmp + " to " + path;
    const bool ok = WriteThroughTemp(path, [&](const std::string& name) {
        FILE* out = plat::OpenFile(name, "wb");
        if (!out) {
            failed = "cannot create " + name;
            return false;
        }
        const bool filled = fill(out);
        if (fclose(out) == 0 && filled)
            return true;
        failed = "cannot write " + path;
        return false;
    });
    if (!ok && error->empty())
        *error = failed;
    return ok;
}
