// The desktop portal's screenshot (org.freedesktop.portal.Screenshot over the session D-Bus): how
// a program takes a picture of the screen on Wayland, where it may not read the screen itself.
// The call is asynchronous (Request/Response), so the window keeps handling events while the
// desktop asks the user.
#pragma once

#include <QImage>
#include <QString>

// Whether the session bus has the portal, running or startable on demand.
bool ScreenshotPortalAvailable();

// Asks the portal for a picture of the whole screen and waits for its answer, handling events,
// at most TimeoutMs. Null, and Error set, when the portal is missing, the user declines or the
// picture cannot be read. The portal saves the picture as a file of its own (in the user's
// pictures folder, as the desktop chooses); it is read and left where the portal put it.
QImage TakePortalScreenshot(QString& Error, int TimeoutMs = 120000);
