#include "scenes/CharacterConfig.h"

#include "platform/osgCal/CoreModel.h"

#include <cal3d/cal3d.h>

#include <cstdio>
#include <iostream>

namespace {

// Lines are read in pieces of at most this many characters; a longer line
// reads as several lines.
const int kPieceLength = 4095;

void printLoadError()
{
    std::cout << "LoadCFG error: " << CalError::getErrorDescription(CalError::getLastErrorCode())
              << std::endl;
}

// Each material becomes the only material of the thread with its own
// number, under set 0; its maps are named relative to the running folder.
void threadMaterial(CalCoreModel& core, int id, const std::string& directory)
{
    core.createCoreMaterialThread(id);
    core.setCoreMaterialId(id, 0, id);
    for (CalCoreMaterial::Map& map : core.getCoreMaterial(id)->getVectorMap())
        map.strFilename = directory + "/" + map.strFilename;
}

// Loads one entry; false when the load failed.
bool loadEntry(CalCoreModel& core, const std::string& key, const std::string& file,
               const std::string& directory)
{
    if (key == "skeleton")
        return core.loadCoreSkeleton(file);
    if (key == "animation")
        return core.loadCoreAnimation(file) >= 0;
    if (key == "mesh")
        return core.loadCoreMesh(file) >= 0;
    if (key == "material") {
        const int id = core.loadCoreMaterial(file);
        if (id < 0)
            return false;
        threadMaterial(core, id, directory);
    }
    return true;
}

} // namespace

bool splitConfigLine(const std::string& line, std::string& key, std::string& value)
{
    if (line.empty() || line[0] == '#')
        return false;
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    const std::string::size_type length = value.size();
    if (length >= 1 && value[length - 1] == '\n')
        value.erase(length - 1);
    if (length >= 2 && value[length - 2] == '\r')
        value.erase(length - 2);
    return true;
}

bool LoadCFG(const std::string& directory, const std::string& path, osgCal::CoreModel* coreModel)
{
    std::cout << "Loading cal3d character from " << path << std::endl;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        std::cerr << "opening failed!" << std::endl;
        return false;
    }
    const std::vector<ConfigEntry> entries = readConfigEntries(file);
    std::fclose(file);
    CalCoreModel& core = *coreModel->getCalCoreModel();
    for (const ConfigEntry& entry : entries) {
        const std::string full = directory + "/" + entry.value;
        if (entry.key == "scale") {
            std::cout << "scaled option unhandled" << std::endl;
            continue;
        }
        std::cout << "    subloading " << entry.key << ": " << full << std::endl;
        if (!loadEntry(core, entry.key, full, directory))
            printLoadError();
    }
    return true;
}

std::vector<ConfigEntry> readConfigEntries(std::FILE* file)
{
    std::vector<ConfigEntry> entries;
    char piece[kPieceLength + 1];
    ConfigEntry entry;
    while (std::fgets(piece, sizeof piece, file))
        if (splitConfigLine(piece, entry.key, entry.value))
            entries.push_back(entry);
    return entries;
}
