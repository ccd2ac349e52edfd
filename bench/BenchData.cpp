#include "BenchData.h"
#include "store/Connection.h"

#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <vector>
#include <QRandomGenerator>
#include <QStringList>

namespace {

const QStringList Cities = {"北京", "上海", "广州", "深圳", "杭州", "南京", "成都", "武汉", "西安", "重庆",
                            "天津", "苏州", "青岛", "厦门", "长沙", "郑州", "沈阳", "大连", "济南", "合肥"};
const QStringList Provinces = {"北京市", "上海市", "广东省", "广东省", "浙江省", "江苏省", "四川省", "湖北省", "陕西省", "重庆市",
                               "天津市", "江苏省", "山东省", "福建省", "湖南省", "河南省", "辽宁省", "辽宁省", "山东省", "安徽省"};
const QStringList Words = {"华信", "东方", "宏达", "新世纪", "金桥", "博远", "恒通", "瑞丰", "中天", "鼎盛",
                           "天宇", "盛世", "联创", "汇丰", "海纳", "永泰", "佳和", "腾飞", "明德", "嘉禾"};
const QStringList Trades = {"科技", "贸易", "电子", "机械", "物流", "建材", "医药", "食品", "服装", "信息技术"};
const QStringList Suffixes = {"有限公司", "股份有限公司", "集团有限公司", "实业有限公司"};
const QStringList Roads = {"中山路", "人民路", "解放大道", "建设路", "长江路", "和平街", "新华路", "科技园路"};
const QStringList Surnames = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "徐", "孙", "马", "朱"};
const QStringList Given = {"伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰", "涛", "明", "超"};
const QStringList Types = {"潜在客户", "意向客户", "正式客户", "合作伙伴", "代理商"};
const QStringList Levels = {"VIP客户", "重要客户", "普通客户", "一般客户"};
const QStringList Sources = {"电话营销", "网络推广", "展会", "客户介绍", "广告"};
const QStringList Positions = {"总经理", "采购经理", "销售经理", "主管", "工程师", "会计"};
const QStringList Departments = {"总经理办公室", "采购部", "销售部", "财务部", "技术部"};

QString pick(const QStringList &list, QRandomGenerator &rng) { return list.at(int(rng.bounded(list.size()))); }

} // namespace

void BenchData::fill(Connection &connection, int customers, int contactsPerCustomer)
{
    QRandomGenerator rng(20261210);
    connection.begin();
    Statement customer(connection, QStringLiteral(
        "insert into custom (CustCode, Company, CustType, Category, country, province, city, address, postcode, tel, fax, "
        "url, email, MainContact, Mobile, CustFrom, CustLevel, F_User, AddDate, introduce) "
        "values (?1,?2,?3,?4,'中国',?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19)"));
    Statement contact(connection, QStringLiteral(
        "insert into contact (CustCode, Company, ContactName, Department, position, tel, Mobile, Email, Address, PostCode, F_User) "
        "values (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11)"));
    const QStringList users = {QStringLiteral("Admin"), QStringLiteral("张三"), QStringLiteral("李四")};
    for (int code = 1; code <= customers; ++code) {
        const int c = int(rng.bounded(Cities.size()));
        const QString company = Cities.at(c) + pick(Words, rng) + pick(Trades, rng) + pick(Suffixes, rng)
                                + (code % 7 == 0 ? QStringLiteral("分公司%1").arg(code) : QString());
        const QString person = pick(Surnames, rng) + pick(Given, rng) + (rng.bounded(2) ? pick(Given, rng) : QString());
        const QString address = Cities.at(c) + QStringLiteral("市") + pick(Roads, rng) + QString::number(rng.bounded(1, 999)) + QStringLiteral("号");
        const QString phone = QStringLiteral("0%1-%2").arg(rng.bounded(10, 999)).arg(rng.bounded(10000000, 99999999));
        const QString mobile = QStringLiteral("1%1").arg(rng.bounded(3000000000ULL, 9999999999ULL));
        const QString user = users.at(code % 3);
        const QVariant values[] = {code, company, pick(Types, rng),
                                   QStringLiteral("0%1%2").arg(rng.bounded(1, 4)).arg(rng.bounded(10, 13)).left(4),
                                   Provinces.at(c), Cities.at(c), address, QString::number(rng.bounded(100000, 999999)),
                                   phone, phone, QStringLiteral("www.example%1.cn").arg(code),
                                   QStringLiteral("info%1@example.cn").arg(code), person, mobile, pick(Sources, rng),
                                   pick(Levels, rng), user,
                                   QDate(2020, 1, 1).addDays(rng.bounded(2500)).toString(Qt::ISODate),
                                   code % 5 == 0 ? company + QStringLiteral("成立于2005年,主营业务覆盖华东及华南地区。") : QString()};
        for (int i = 0; i < 19; ++i)
            customer.bind(i + 1, values[i]);
        customer.step();
        customer.reset();
        for (int k = 0; k < contactsPerCustomer; ++k) {
            const QString name = pick(Surnames, rng) + pick(Given, rng) + pick(Given, rng);
            const QVariant cv[] = {code, company, name, pick(Departments, rng), pick(Positions, rng), phone,
                                   QStringLiteral("1%1").arg(rng.bounded(3000000000ULL, 9999999999ULL)),
                                   QStringLiteral("c%1_%2@example.cn").arg(code).arg(k), address,
                                   QString::number(rng.bounded(100000, 999999)), user};
            for (int i = 0; i < 11; ++i)
                contact.bind(i + 1, cv[i]);
            contact.step();
            contact.reset();
        }
    }
    connection.commit();
}

double BenchData::medianMs(int repeat, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
