#include "tools/DemoContracts.h"

#include "tools/SplitMix64.h"

#include <QStringList>
#include <array>

namespace tavim {

namespace {

template <typename T, size_t N> const T& pick(SplitMix64& random, const std::array<T, N>& items) {
    return items[random.below(N)];
}

// A choice among weighted items: the weights are percentages adding up to 100.
template <typename T> struct Weighted {
    int weight;
    T item;
};

template <typename T, size_t N>
const T& pickWeighted(SplitMix64& random, const std::array<Weighted<T>, N>& items) {
    int roll = int(random.below(100));
    for (const auto& [weight, item] : items) {
        if (roll < weight)
            return item;
        roll -= weight;
    }
    return items.back().item;
}

const std::array<const char16_t*, 28> kMenNames = {
    u"João",    u"José",  u"Antônio", u"Francisco", u"Carlos",   u"Paulo",   u"Pedro",
    u"Lucas",   u"Luiz",  u"Marcos",  u"Luís",      u"Gabriel",  u"Rafael",  u"Daniel",
    u"Marcelo", u"Bruno", u"Eduardo", u"Felipe",    u"Raimundo", u"Rodrigo", u"Sebastião",
    u"Estêvão", u"Simão", u"Fábio",   u"Vinícius",  u"Célio",    u"Otávio",  u"Jônatas",
};

const std::array<const char16_t*, 28> kWomenNames = {
    u"Maria",    u"Ana",      u"Francisca", u"Antônia", u"Adriana", u"Juliana",   u"Márcia",
    u"Fernanda", u"Patrícia", u"Aline",     u"Sandra",  u"Camila",  u"Amanda",    u"Bruna",
    u"Jéssica",  u"Letícia",  u"Júlia",     u"Inês",    u"Luíza",   u"Cecília",   u"Lúcia",
    u"Helena",   u"Débora",   u"Mônica",    u"Flávia",  u"Cláudia", u"Conceição", u"Thaís",
};

const std::array<const char16_t*, 52> kSurnames = {
    u"Silva",     u"Santos",    u"Oliveira",   u"Souza",    u"Rodrigues",  u"Ferreira",
    u"Alves",     u"Pereira",   u"Lima",       u"Gomes",    u"Costa",      u"Ribeiro",
    u"Martins",   u"Carvalho",  u"Almeida",    u"Lopes",    u"Soares",     u"Fernandes",
    u"Vieira",    u"Barbosa",   u"Rocha",      u"Dias",     u"Nascimento", u"Andrade",
    u"Moreira",   u"Nunes",     u"Marques",    u"Machado",  u"Mendes",     u"Freitas",
    u"Cardoso",   u"Ramos",     u"Gonçalves",  u"Santana",  u"Teixeira",   u"Araújo",
    u"Magalhães", u"Conceição", u"Assunção",   u"Brandão",  u"Falcão",     u"Guimarães",
    u"Simões",    u"Damião",    u"Romão",      u"Lacerda",  u"D'Ávila",    u"Sant'Anna",
    u"D'Almeida", u"Sant'Ana",  u"D'Oliveira", u"D'Ângelo",
};

const std::array<const char16_t*, 12> kJoinedSurnames = {
    u"da Silva", u"dos Santos", u"de Oliveira", u"da Costa",      u"de Souza",     u"da Conceição",
    u"dos Reis", u"de Assis",   u"das Neves",   u"do Nascimento", u"de Sant'Anna", u"da Assunção",
};

const std::array<const char16_t*, 10> kCompanyNames = {
    u"Horizonte", u"São Jorge",  u"Conceição", u"Paraná",      u"Araucária",
    u"Ipê",       u"Bela Vista", u"D'Ávila",   u"Três Irmãos", u"Santa Luzia",
};

const std::array<const char16_t*, 4> kCompanyKinds = {
    u"Empreendimentos Imobiliários Ltda",
    u"Administração de Bens Ltda",
    u"Participações S/A",
    u"Construtora Ltda",
};

const std::array<const char16_t*, 5> kStreetKinds = {u"Rua", u"Avenida", u"Travessa", u"Alameda",
                                                     u"Praça"};

const std::array<const char16_t*, 30> kStreets = {
    u"Sete de Setembro",
    u"XV de Novembro",
    u"Marechal Deodoro",
    u"Getúlio Vargas",
    u"São João",
    u"Dom Pedro II",
    u"Tiradentes",
    u"Barão do Rio Branco",
    u"Padre Anchieta",
    u"Santa Luzia",
    u"Doutor João Pessoa",
    u"Ipiranga",
    u"das Acácias",
    u"dos Andradas",
    u"Conselheiro Laurindo",
    u"Visconde de Guarapuava",
    u"Comendador Araújo",
    u"Brigadeiro Franco",
    u"Desembargador Westphalen",
    u"Presidente Kennedy",
    u"Treze de Maio",
    u"Marquês do Paraná",
    u"Senador Souza Naves",
    u"Frei Caneca",
    u"Nossa Senhora da Conceição",
    u"Emiliano Perneta",
    u"Paula Gomes",
    u"Coronel D'Ávila",
    u"Sant'Ana",
    u"Inês de Castro",
};

const std::array<const char16_t*, 20> kNeighbourhoods = {
    u"Centro",        u"Jardim América", u"Boa Vista",     u"Santa Efigênia",  u"Vila Mariana",
    u"São Cristóvão", u"Bela Vista",     u"Cidade Nova",   u"Água Verde",      u"Petrópolis",
    u"Alto da XV",    u"Batel",          u"Cabral",        u"Jardim Botânico", u"Mercês",
    u"Portão",        u"Rebouças",       u"São Francisco", u"Bacacheri",       u"Ahú",
};

const std::array<const char16_t*, 14> kRemarks = {
    u"Reajuste anual pelo IGP-M",
    u"Pagamento via boleto",
    u"Caução de três aluguéis",
    u"Fiador: Sr. Antônio Gonçalves",
    u"Inquilino pediu renovação",
    u"IPTU por conta do inquilino",
    u"Vistoria pendente",
    u"Condomínio incluso no aluguel",
    u"Seguro fiança",
    u"Reajuste pelo IPCA em março",
    u"Chaves com o zelador",
    u"Contrato com cláusula de 30 dias",
    u"Aguardando assinatura do fiador",
    u"Depósito na conta do proprietário",
};

// Null statuses are std::nullopt; the last three are never asked for.
const std::array<Weighted<std::optional<QString>>, 8> kStatuses = {{
    {70, QStringLiteral("ATIVADO")},
    {6, QStringLiteral("EXTRA JUDICIAL")},
    {6, QStringLiteral("JURIDICO")},
    {5, QString()},
    {5, std::nullopt},
    {3, QStringLiteral("RESCINDIDO")},
    {2, QStringLiteral("SUSPENSO")},
    {3, QStringLiteral("ENCERRADO")},
}};

// Rent bands in reais: mostly homes, a few shops and offices.
struct Band {
    qint64 lowCents;
    qint64 highCents;
};
const std::array<Weighted<Band>, 6> kRentBands = {{
    {15, {350'00, 799'99}},
    {30, {800'00, 1'499'99}},
    {25, {1'500'00, 2'999'99}},
    {15, {3'000'00, 5'999'99}},
    {10, {6'000'00, 14'999'99}},
    {5, {15'000'00, 45'000'00}},
}};

const std::array<int, 8> kTermsInMonths = {6, 12, 12, 24, 30, 36, 48, 60};

constexpr qsizetype kNameLength = 50;
constexpr int kMonthsOfHistory = 60;

QString personName(SplitMix64& random) {
    const auto& firstNames = random.percent(50) ? kMenNames : kWomenNames;
    QStringList parts{QString::fromUtf16(pick(random, firstNames))};
    if (random.percent(30))
        parts << QString::fromUtf16(pick(random, firstNames));
    if (random.percent(25))
        parts << QString::fromUtf16(pick(random, kJoinedSurnames));
    else
        parts << QString::fromUtf16(pick(random, kSurnames));
    if (random.percent(50))
        parts << QString::fromUtf16(pick(random, kSurnames));
    QString name = parts.join(u' ');
    // Drop middle parts until it fits; the first name and the last surname stay.
    while (name.size() > kNameLength && parts.size() > 2) {
        parts.removeAt(1);
        name = parts.join(u' ');
    }
    return name;
}

// Every draw is a statement of its own: the operands of one expression may be
// evaluated in any order, which would make the rows depend on the compiler.
QString companyName(SplitMix64& random) {
    const QString name = QString::fromUtf16(pick(random, kCompanyNames));
    return name + u' ' + QString::fromUtf16(pick(random, kCompanyKinds));
}

QString inCase(SplitMix64& random, const QString& name, int upperPercent) {
    return random.percent(upperPercent) ? name.toUpper() : name;
}

QString landlordName(quint64 seed, quint64 landlord) {
    SplitMix64 random(SplitMix64::mix(seed ^ SplitMix64::mix(landlord + 0x4C414E44ull)));
    const QString name = random.percent(10) ? companyName(random) : personName(random);
    return inCase(random, name, 40);
}

QString address(SplitMix64& random) {
    QString text = QString::fromUtf16(pick(random, kStreetKinds));
    text += u' ' + QString::fromUtf16(pick(random, kStreets));
    text += QStringLiteral(", ") + QString::number(random.between(1, 3999));
    switch (random.below(6)) {
    case 0:
    case 1: {
        const qint64 floor = random.between(1, 24);
        text += QStringLiteral(" - Apto %1").arg(floor * 100 + random.between(1, 8));
        break;
    }
    case 2:
        text += QStringLiteral(" - Casa %1").arg(random.between(1, 12));
        break;
    case 3:
        text += QStringLiteral(" - Sala %1").arg(random.between(101, 1520));
        break;
    case 4:
        text += QStringLiteral(" - Loja %1").arg(random.between(1, 20));
        break;
    default:
        break;
    }
    return text + QStringLiteral(" - ") + QString::fromUtf16(pick(random, kNeighbourhoods));
}

double reais(qint64 cents) {
    return double(cents) / 100.0;
}

std::optional<double> otherAmount(SplitMix64& random) {
    const quint64 roll = random.below(100);
    if (roll < 75)
        return 0.0;
    if (roll < 90)
        return reais(random.between(15'00, 1'500'00));
    return std::nullopt;
}

std::optional<QString> remark(SplitMix64& random) {
    const quint64 roll = random.below(100);
    if (roll < 35)
        return QString();
    if (roll < 60)
        return std::nullopt;
    return QString::fromUtf16(pick(random, kRemarks));
}

bool hasEnded(const std::optional<QString>& status) {
    return status == QStringLiteral("RESCINDIDO") || status == QStringLiteral("ENCERRADO");
}

void setPeriod(SplitMix64& random, ContractRow& row, QDate reference) {
    const QDate month = reference.addMonths(-int(random.below(kMonthsOfHistory)));
    const int day = random.percent(60) ? 1 : int(random.between(1, 28));
    row.inicio = QDate(month.year(), month.month(), day);
    // Ended contracts always have an end; the others are open-ended nearly half the time.
    if (!hasEnded(row.situacao) && random.percent(45))
        return;
    row.fim = row.inicio.addMonths(pick(random, kTermsInMonths)).addDays(-1);
}

ContractRow contract(quint64 seed, int index, QDate reference) {
    SplitMix64 random(SplitMix64::mix(seed ^ SplitMix64::mix(quint64(index) + 1)));
    ContractRow row;
    row.id = index + 1;
    // Landlords own two properties on average, the earlier ones more.
    row.proprietario = landlordName(seed, random.below(quint64(index) / 2 + 10));
    row.imovel = address(random);
    row.inquilino = inCase(random, personName(random), 30);
    const Band band = pickWeighted(random, kRentBands);
    const qint64 rentCents = random.between(band.lowCents, band.highCents);
    row.aluguel = reais(rentCents);
    // 6 % to 12 % in steps of half a point, rounded to centavos.
    const qint64 feePermille = random.between(12, 24) * 5;
    row.taxaAdm = reais((rentCents * feePermille + 500) / 1000);
    row.outros = otherAmount(random);
    row.observacoes = remark(random);
    row.situacao = pickWeighted(random, kStatuses);
    setPeriod(random, row, reference);
    return row;
}

} // namespace

std::vector<ContractRow> demoContracts(int count, quint64 seed, QDate reference) {
    const QDate month(reference.year(), reference.month(), 1);
    std::vector<ContractRow> rows;
    rows.reserve(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        rows.push_back(contract(seed, i, month));
    return rows;
}

} // namespace tavim
