#pragma once
// The statistics window and the printable bracket sheet, as far as the main window
// needs them: the quit button unloads whichever of them was loaded.
namespace zentrafo {

class Marlix;

class Reports {
public:
    explicit Reports(Marlix& w) : w_(w) {}
    void design();

    // Each unloads its window when it was loaded, and creates nothing.
    void unloadImpress();
    void unloadStats();

private:
    [[maybe_unused]] Marlix& w_;
};

} // namespace zentrafo
