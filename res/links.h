// The program's home page and mail address (help menu and about box). The
// home page is the manual beside the program until there is a public page.
#pragma once
#define ZEVA_HOMEPAGE_FILE "zeva.html"
#define ZEVA_MAIL_ADDRESS "mailto:zeva@zeva.example"
