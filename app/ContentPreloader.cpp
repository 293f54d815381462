#include "app/ContentPreloader.h"

#include "app/Globals.h"

#include <algorithm>

ContentPreloader::ContentPreloader(ContentList files)
{
    for (ContentFile& file : files)
        entries.push_back(Entry{std::move(file), State::Waiting, nullptr});
    reader = std::thread(&ContentPreloader::run, this);
}

ContentPreloader::~ContentPreloader()
{
    stop();
    if (g_contentReader == this)
        g_contentReader = nullptr;
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
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping && readNextWaiting(lock)) {
    }
}

bool ContentPreloader::readNextWaiting(std::unique_lock<std::mutex>& lock)
{
    auto entry = std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return e.state == State::Waiting; });
    if (entry == entries.end())
        return false;
    entry->state = State::Reading;
    lock.unlock();
    osg::ref_ptr<osg::Object> object = readContentFile(entry->file);
    lock.lock();
    entry->object = object;
    entry->state = State::Read;
    entryRead.notify_all();
    return true;
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
        return readContentFile({path, isModel});
    }
    while (entry->state != State::Read && readNextWaiting(lock)) {
    }
    entryRead.wait(lock, [&] { return entry->state == State::Read; });
    entry->state = State::HandedOut;
    osg::ref_ptr<osg::Object> object;
    object.swap(entry->object);
    return object;
}

osg::ref_ptr<osg::Image> ContentPreloader::image(const std::string& path)
{
    return dynamic_cast<osg::Image*>(take(path, false).get());
}

osg::ref_ptr<osg::Node> ContentPreloader::model(const std::string& path)
{
    return dynamic_cast<osg::Node*>(take(path, true).get());
}
