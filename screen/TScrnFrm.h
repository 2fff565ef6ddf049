// The screen window: the full-screen, stay-on-top form that shows the night scene,
// ticks every 100 ms, hides the cursor and closes on a key press or a pointer
// movement of more than 5 pixels.
#pragma once

#include "platform/raster/Picture.h"
#include "platform/window/Messages.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/TTimer.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <cstdint>
#include <memory>
#include <span>

class TScrnFrm : public TForm {
public:
    // Loads the 28 pictures from the stored form linked into the program.
    explicit TScrnFrm(JpegDepth depth);
    // Loads them from the given stored form (tests hand in stand-in pictures).
    TScrnFrm(std::span<const std::uint8_t> formStream, JpegDepth depth);
    // Made without its pictures, which TakePictures hands over before the first show
    // (start-up loads them on a second core meanwhile).
    struct PicturesLater {};
    explicit TScrnFrm(PicturesLater);
    void TakePictures(std::unique_ptr<Catalogue> pictures);
    ~TScrnFrm() override;

    // Interval 100, Enabled false, OnTimer tmrTickTimer.
    TTimer tmrTick;

    // The 28 picture holders Image1 to Image28.
    Catalogue& Pictures() { return *m_pictures; }
    // How the ticks' frames reach the window.
    TFrameSurface& Surface() { return m_surface; }

    // OnShow: takes the start position, starts tmrTick, installs InputFilter as the
    // application message hook and hides the cursor.
    void FormShow();
    // OnActivate: maximized from the first activation on.
    void FormActivate();
    // OnHide: empties the hook slot, stops tmrTick and shows the cursor again.
    void FormHide();
    // The application message hook while the window is shown: closes on a key press
    // and on a pointer more than 5 pixels (screen coordinates, pt) from StartPos on
    // either axis; never sets handled.
    void InputFilter(TMsg& msg, bool& handled);
    // OnTimer of tmrTick: one frame of NightScene at the client size, copied to the
    // window at once.
    void tmrTickTimer();

private:
    // The ticks' frames go to the window's surface.
    struct SurfaceSink : IFrameSink {
        explicit SurfaceSink(TFrameSurface& surface) : m_surface(surface) {}
        void CopyFrame(const Raster& frame, std::span<const Rect> changed) override
        {
            m_surface.CopyFrame(frame, changed);
        }
        TFrameSurface& m_surface;
    };

    void SetUpForm();

    TFrameSurface m_surface{*this};
    SurfaceSink m_sink{m_surface};
    std::unique_ptr<Catalogue> m_pictures;
    // True from the cursor step of FormShow to FormHide: a show whose timer failed to
    // start never hid the cursor, so its hide must not show it.
    bool m_cursorHidden = false;
    // Lives as long as the window: work queued for later finds out whether it still is.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

extern TScrnFrm* ScrnFrm;

// The night scene the screen window shows: one for the process, from start to end,
// kept across hides and shows of the window.
extern Scene NightScene;

// The cursor position, in screen coordinates, when the window was last shown; zero
// until the first show. Written by FormShow only, read by InputFilter.
extern TPoint StartPos;
