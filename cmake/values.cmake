# Outside hosts, counter ids and the maker's account values, built into the
# programs as constants. Each is a cache variable so that a build can choose
# its own, and the test build points the counter and the player at loopback services.
set(ZV_MAKER_ACCOUNT       "10000"                CACHE STRING "The maker's QQ account number (MakerAccount)")
set(ZV_FORUM_USER_ID       "100000"               CACHE STRING "The maker's user id on the forum (ForumUserId)")
set(ZV_MICROBLOG_USER_ID   "1000000000"           CACHE STRING "The maker's user id on the Sina microblog (MicroblogUserId)")
set(ZV_MICROBLOG_HANDLE    "zorvat"               CACHE STRING "The maker's handle on the Tencent microblog (MicroblogHandle)")
set(ZV_TUTORIAL_POST_ID    "1"                    CACHE STRING "The blog post that serves as the tutorial (TutorialPostId)")
set(ZV_FORUM_HOST          "forum.example.com"    CACHE STRING "Host of the forum")
set(ZV_SPACE_HOST          "space.example.com"    CACHE STRING "Host of the personal-space pages")
set(ZV_SINA_BLOG_HOST      "weibo.example.com"    CACHE STRING "Host of the Sina microblog")
set(ZV_TENCENT_BLOG_HOST   "t.example.com"        CACHE STRING "Host of the Tencent microblog")
set(ZV_COUNTER_PAGE_HOST   "count.example.com"    CACHE STRING "Host (and :port) of the hit-counter pages (CounterPageHost)")
set(ZV_COUNTER_IMAGE_HOST  "img.example.com"      CACHE STRING "Host of the counter's digit images (CounterImageHost)")
set(ZV_USAGE_COUNTER_ID    "zorvat-usage"         CACHE STRING "Counter id of program starts (UsageCounterId)")
set(ZV_LINKS_COUNTER_ID    "zorvat-links"         CACHE STRING "Counter id of generated codes (LinksCounterId)")
set(ZV_PLAYER_HOST         "player.example.com"   CACHE STRING "Host (and :port) of the music service's cloud player (PlayerHost)")

configure_file(${CMAKE_CURRENT_LIST_DIR}/values.h.in ${CMAKE_BINARY_DIR}/generated/values.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
