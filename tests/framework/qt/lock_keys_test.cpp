// The lock indicators' fallback where the display server cannot tell: the kernel's LEDs.
#include "framework/qt/lock_keys.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(LockKeys, WithoutTheDisplayServerTheKernelsLedsAreRead) {
  QTemporaryDir leds;
  ASSERT_TRUE(leds.isValid());
  auto led = [&](const char* entry, const char* brightness) {
    ASSERT_TRUE(QDir(leds.path()).mkpath(QString::fromLatin1(entry)));
    QFile f(leds.filePath(QString::fromLatin1(entry) + "/brightness"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(brightness);
  };
  EXPECT_EQ(framework::LockKeysFromLeds(leds.path()), (framework::LockKeys{false, false, false}));
  led("input3::capslock", "1\n");
  led("input3::numlock", "0\n");
  led("input7::numlock", "255\n");  // a second keyboard with its Num Lock on
  led("input3::scrolllock", "0\n");
  led("phy0-led", "1\n");
  EXPECT_EQ(framework::LockKeysFromLeds(leds.path()), (framework::LockKeys{true, true, false}));
  // The offscreen platform has no X server: the status bar goes by the LEDs.
  EXPECT_EQ(framework::LockKeysFromDisplay(), std::nullopt);
}
