#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/date_texts.h"
#include "platform/platform_state.h"
#include "platform/services.h"
#include "platform/window.h"

TEST(DateTexts, PaddingAndFailedComponents) {
    EXPECT_EQ(format_date_text(2024, 2, 5), "2024-02-05");
    EXPECT_EQ(format_time_text(9, 5, 7), "09:05:07");
    EXPECT_EQ(format_date_time_stamp(2024, 2, 5, 9, 5, 7), "20240205090507");
    EXPECT_EQ(format_date_text(812, 12, 31), "812-12-31");  // the year is not padded
    EXPECT_EQ(format_time_text(23, 0, 10), "23:00:10");
    EXPECT_EQ(format_date_text(2024, -1, 1), "");
    EXPECT_EQ(format_time_text(10, 10, -1), "");
    EXPECT_EQ(format_date_time_stamp(2024, 2, -1, 9, 5, 7), "");
    EXPECT_EQ(format_date_time_stamp(2024, 2, 5, -1, 5, 7), "20240205");
    // The live texts have the same shapes.
    EXPECT_EQ(date_text().size(), 10u);
    EXPECT_EQ(time_text().size(), 8u);
    EXPECT_EQ(date_time_stamp().find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(date_time_stamp().size(), 14u);
}

TEST(SavePng, RoundTripAndRefusedArguments) {
    char pattern[] = "/tmp/vk_png_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/image.png";
    // 3 x 2 pixels in rows of 16 bytes: the padding must not show.
    const std::vector<uint8_t> pixels = {255, 0,  0,  255, 0,  255, 0,  128, 0,  0,   255, 0,   9, 9, 9, 9,
                                         10,  20, 30, 40,  50, 60,  70, 80,  90, 100, 110, 255, 9, 9, 9, 9};
    ASSERT_TRUE(platform_save_png(path, "png", pixels.data(), 3, 2, 16));
    GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(gdk_pixbuf_get_width(image), 3);
    ASSERT_EQ(gdk_pixbuf_get_height(image), 2);
    ASSERT_TRUE(gdk_pixbuf_get_has_alpha(image));
    for (int row = 0; row < 2; ++row) {
        const guchar* read = gdk_pixbuf_get_pixels(image) + row * gdk_pixbuf_get_rowstride(image);
        EXPECT_TRUE(std::equal(read, read + 12, pixels.begin() + row * 16)) << "row " << row;
    }
    g_object_unref(image);
    std::remove(path.c_str());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(platform_save_png(std::string(pattern) + "/missing/x.png", "png", pixels.data(), 3, 2, 16));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("GTK-IMAGE-ERROR:(", 0), 0u) << output;
    EXPECT_EQ(output.substr(output.size() - 3), "];\n");
    // Arguments that cannot describe the buffer are refused before a pixel
    // is read (a short stride would read past its end).
    testing::internal::CaptureStdout();
    EXPECT_FALSE(platform_save_png(path, "png", nullptr, 3, 2, 16));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 0, 2, 16));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 3, -2, 16));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 5, 2, 16));
    EXPECT_FALSE(platform_save_png(path, "no-such-type", pixels.data(), 3, 2, 16));
    output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 5) << output;
    EXPECT_FALSE(g_file_test(path.c_str(), G_FILE_TEST_EXISTS));
    std::remove(pattern);
}

TEST(PlatformTable, ListenerSlotsAndBackgroundChannels) {
    reset_platform_state_for_tests();
    PlatformListener first, second;
    set_platform_listener(&first, 0);
    set_platform_listener(&second, 7);
    testing::internal::CaptureStdout();
    set_platform_listener(&second, 8);
    set_platform_listener(&second, -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "KAVRO-8-WINDOW-MAX!\nKAVRO-8-WINDOW-MAX!\n");
    EXPECT_EQ(active_listener(), &first);
    EXPECT_EQ(std::count(std::begin(platform_state.listeners), std::end(platform_state.listeners), &second), 1);

    EXPECT_EQ(background_channel_value(1.0), 0xFF00);
    EXPECT_EQ(background_channel_value(0.5), 32640);
    EXPECT_EQ(background_channel_value(-0.5), 0);
    EXPECT_EQ(background_channel_value(7.0), 0xFF00);
    EXPECT_EQ(background_channel_value(std::nan("")), 0);
    reset_platform_state_for_tests();
    EXPECT_EQ(active_listener(), nullptr);
}

TEST(PlatformTable, WithoutADisplayCreateWindowFailsAndTheLoopReturns) {
    reset_platform_state_for_tests();
    unsetenv("DISPLAY");
    static std::string printed;
    g_set_print_handler([](const gchar* text) { printed += text; });
    PlatformListener listener;
    set_platform_listener(&listener, 0);
    EXPECT_EQ(create_window(listener), 1);
    run_frame_loop();  // must not wait for a window that never comes
    g_set_print_handler(nullptr);
    EXPECT_EQ(printed, "Unable to Open X-Display!\n");
    EXPECT_FALSE(platform_state.window_ready);
    reset_platform_state_for_tests();
}
