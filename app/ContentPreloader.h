#pragma once

#include "app/ContentReader.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Reads the show's pictures and models on a second thread while the main
// thread opens the window, shows the splash and builds the scenes. Decoding
// files is most of start-up, and until the show runs the second core has
// nothing else to do.
//
// Each listed file is read once, in the order of the list, and handed to the
// first builder that asks for it. A builder that asks for a file the thread
// has not begun reads it itself rather than wait behind other files; one
// that must wait for the file in hand reads the next files on the list
// meanwhile, so both cores decode while the thread is behind the builders;
// a file that is not listed, or asked for again, is simply read. So the
// list only decides how fast the show starts, never what it shows.
class ContentPreloader : public ContentReader
{
public:
    explicit ContentPreloader(ContentList files);
    ~ContentPreloader();
    ContentPreloader(const ContentPreloader&) = delete;
    ContentPreloader& operator=(const ContentPreloader&) = delete;

    osg::ref_ptr<osg::Image> image(const std::string& path) override;
    osg::ref_ptr<osg::Node> model(const std::string& path) override;

    // Lets the thread finish the file in hand, skips the rest and joins it.
    void stop() override;

private:
    enum class State { Waiting, Reading, Read, HandedOut };
    struct Entry {
        ContentFile file;
        State state = State::Waiting;
        osg::ref_ptr<osg::Object> object;
    };

    osg::ref_ptr<osg::Object> take(const std::string& path, bool isModel);
    void run();
    // Reads the first file on the list nobody has begun, with `lock` let go
    // meanwhile; false when there is none.
    bool readNextWaiting(std::unique_lock<std::mutex>& lock);

    std::vector<Entry> entries;
    std::mutex mutex;
    std::condition_variable entryRead;
    bool stopping = false;
    std::thread reader;
};
