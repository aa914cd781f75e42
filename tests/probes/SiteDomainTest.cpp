// Which site a host belongs to, and which paths are a site's home page.
#include "probes/ModernLinkRules.h"
#include "probes/SiteDomain.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

struct DomainRow : Row {
    QString host;
    QString domain;
};

const DomainRow kDomains[] = {
    {"www_label_dropped", "www.car.com", "car.com"},
    {"two_level_suffix", "blog.car.com.cn", "car.com.cn"},
    {"uk_suffix", "www.a.co.uk", "a.co.uk"},
    {"new_suffix", "shop.a.top", "a.top"},
    {"private_suffix_of_the_list", "a.b.github.io", "b.github.io"},
    {"bare_domain", "x.com", "x.com"},
    {"sub_domain_of_the_site", "blog.car.com", "car.com"},
    {"look_alike_is_another_site", "www.carhome.com", "carhome.com"},
    {"site_name_before_another_suffix", "car.com.evil.cn", "evil.cn"},
    {"letter_case_and_final_dot", "WWW.Car.COM.", "car.com"},
    {"idn_as_punycode", "www.例子.中国", "xn--fsqu00a.xn--fiqs8s"},
    {"punycode_as_written", "www.xn--fsqu00a.xn--fiqs8s", "xn--fsqu00a.xn--fiqs8s"},
    {"ipv4_is_its_own_site", "192.168.1.10", "192.168.1.10"},
    {"ipv6_is_its_own_site", "[::1]", "::1"},
    {"a_public_suffix_itself", "com.cn", "com.cn"},
    {"empty", "", ""},
};

TABLE_TEST(SiteDomainTest, RegistrableDomain, kDomains)
{
    EXPECT_EQ(registrableDomain(GetParam().host), GetParam().domain);
}

struct PathRow : Row {
    QString path;
    bool home;
};

const PathRow kPaths[] = {
    {"no_path", "", true},
    {"root", "/", true},
    {"index_any_case", "/INDEX.HTML", true},
    {"default_aspx", "/default.aspx", true},
    {"index_in_a_folder", "/bbs/index.html", false},
    {"other_file", "/index2.html", false},
    {"folder", "/news/", false},
};

TABLE_TEST(HomePagePathTest, IsHomePagePath, kPaths)
{
    EXPECT_EQ(isHomePagePath(GetParam().path), GetParam().home);
}

} // namespace
} // namespace friendlinks
