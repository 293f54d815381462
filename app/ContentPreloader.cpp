#include "app/ContentPreloader.h"

#include "app/Globals.h"

#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <algorithm>

namespace {

osg::ref_ptr<osg::Object> readFile(const ContentPreloader::File& file)
{
    const osgDB::Options* options = osgDB::Registry::instance()->getOptions();
    if (file.isModel)
        return osgDB::readRefNodeFile(file.path, options);
    return osgDB::readRefImageFile(file.path, options);
}

} // namespace

ContentPreloader::ContentPreloader(std::vector<File> files)
{
    for (File& file : files)
        entries.push_back(Entry{std::move(file), State::Waiting, nullptr});
    reader = std::thread(&ContentPreloader::run, this);
}

ContentPreloader::~ContentPreloader()
{
    stop();
    if (g_preloader == this)
        g_preloader = nullptr;
}

void ContentPreloader::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    if (reader.joinable())
        reader.join();
}

void ContentPreloader::run()
{
    for (Entry& entry : entries) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping)
                return;
            if (entry.state != State::Waiting)
                continue;
            entry.state = State::Reading;
        }
        osg::ref_ptr<osg::Object> object = readFile(entry.file);
        {
            std::lock_guard<std::mutex> lock(mutex);
            entry.object = object;
            entry.state = State::Read;
        }
        entryRead.notify_all();
    }
}

osg::ref_ptr<osg::Object> ContentPreloader::take(const std::string& path, bool isModel)
{
    std::unique_lock<std::mutex> lock(mutex);
    auto entry = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return e.file.path == path && e.file.isModel == isModel && e.state != State::HandedOut;
    });
    if (entry == entries.end() || entry->state == State::Waiting) {
        if (entry != entries.end())
            entry->state = State::HandedOut;
        lock.unlock();
        return readFile(File{path, isModel});
    }
    entryRead.wait(lock, [&] { return entry->state == State::Read; });
    entry->state = State::HandedOut;
    osg::ref_ptr<osg::Object> object;
    object.swap(entry->object);
    return object;
}

namespace {

template <typename T>
osg::ref_ptr<T> as(const osg::ref_ptr<osg::Object>& object)
{
    return dynamic_cast<T*>(object.get());
}

} // namespace

osg::ref_ptr<osg::Image> ContentPreloader::image(const std::string& path)
{
    return as<osg::Image>(take(path, false));
}

osg::ref_ptr<osg::Node> ContentPreloader::model(const std::string& path)
{
    return as<osg::Node>(take(path, true));
}

osg::ref_ptr<osg::Image> readShowImage(const std::string& path)
{
    return g_preloader ? g_preloader->image(path) : as<osg::Image>(readFile({path, false}));
}

osg::ref_ptr<osg::Node> readShowModel(const std::string& path)
{
    return g_preloader ? g_preloader->model(path) : as<osg::Node>(readFile({path, true}));
}
