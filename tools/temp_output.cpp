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
    FILE* out = plat::BeginReplaceFile(path);
    if (!out) {
        if (error->empty())
            *error = "cannot create " + path + ".tmp";
        return false;
    }
    const bool filled = fill(out);
    if (plat::FinishReplaceFile(out, path, filled, plat::Durability::kVolatile))
        return true;
    if (error->empty())
        *error = "cannot write " + path;
    return false;
}
