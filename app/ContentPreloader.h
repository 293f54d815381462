#pragma once

#include <osg/Image>
#include <osg/Node>
#include <osg/ref_ptr>

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
// has not begun reads it itself rather than wait behind other files; a file
// that is not listed, or asked for again, is simply read. So the list only
// decides how fast the show starts, never what it shows.
class ContentPreloader
{
public:
    struct File {
        std::string path;
        bool isModel;
    };

    explicit ContentPreloader(std::vector<File> files);
    ~ContentPreloader();
    ContentPreloader(const ContentPreloader&) = delete;
    ContentPreloader& operator=(const ContentPreloader&) = delete;

    osg::ref_ptr<osg::Image> image(const std::string& path);
    osg::ref_ptr<osg::Node> model(const std::string& path);

    // Lets the thread finish the file in hand, skips the rest and joins it.
    void stop();

private:
    enum class State { Waiting, Reading, Read, HandedOut };
    struct Entry {
        File file;
        State state = State::Waiting;
        osg::ref_ptr<osg::Object> object;
    };

    osg::ref_ptr<osg::Object> take(const std::string& path, bool isModel);
    void run();

    std::vector<Entry> entries;
    std::mutex mutex;
    std::condition_variable entryRead;
    bool stopping = false;
    std::thread reader;
};

// What the builders call: through the process's preloader while it runs,
// straight from the file otherwise.
osg::ref_ptr<osg::Image> readShowImage(const std::string& path);
osg::ref_ptr<osg::Node> readShowModel(const std::string& path);
