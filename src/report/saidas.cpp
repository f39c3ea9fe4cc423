// Saídas para planilhas e scripts: o histórico em CSV e a linha do resumo de estudo, sempre em UTF-8.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "report/listagem.h"
#include "state/erro_fatal.h"

namespace {

// Campo CSV: entre aspas quando tem vírgula, aspas, brancos ou fim de linha.
std::string campo_csv(const std::string& s) {
    if (s.find_first_of(",\"\r\n ") == std::string::npos) return s;
    std::string r = "\"";
    for (char c : s) r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + "\"";
}

} // namespace

std::string texto_csv(const std::string& s) {
    const bool formula = !s.empty() && std::string_view("=+-@\t\r'").find(s[0]) != std::string_view::npos;
    return campo_csv(formula ? "'" + s : s);
}

quocientes da_iteracao(const estado_execucao& e, long long it) {
    const double r = e.hist[it] / e.hist[0];
    return {r, e.hist[it] / e.hist[it - 1], std::pow(r, 1.0 / static_cast<double>(it))};
}

quocientes finais(const estado_execucao& e) {
    return e.niter >= 1 ? da_iteracao(e, e.niter) : quocientes{1.0, 1.0, 1.0};
}

std::string numero_csv(double v) {
    if (std::isnan(v)) return "NaN"; // um só modo, o sinal de um NaN não quer dizer nada
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

void escrever_historico_csv(const estado_execucao& e, const metodo_efetivo& metodo, saida_texto& saida,
                            std::span<const erro_iteracao> erros) {
    const bool com_erros = !erros.empty();
    // erro algébrico da iteração it, quando pedido (vazio se não foi medido)
    const auto erro = [&](long long it) {
        if (!com_erros) return std::string();
        const auto i = static_cast<std::size_t>(it);
        const erro_iteracao x = i < erros.size() ? erros[i] : erro_iteracao{};
        return "," + (std::isfinite(x.maximo) ? numero_csv(x.maximo) : std::string()) + "," +
               (std::isfinite(x.medio) ? numero_csv(x.medio) : std::string());
    };
    saida.linha("# metodo: " + componentes_metodo(e, metodo));
    if (com_erros && !metodo.solucao_exata)
        saida.linha("# sem solução exata: erro_algebrico_max e erro_algebrico_medio ficam vazios");
    saida.linha(std::string("iteracao,L1(R),L1(R)i/L1(R)o,q,qmed") +
                (com_erros ? ",erro_algebrico_max,erro_algebrico_medio" : ""));
    saida.linha("0," + numero_csv(e.hist[0]) + ",1,," + erro(0));
    for (long long it = 1; it <= e.niter; ++it) {
        const quocientes c = da_iteracao(e, it);
        saida.linha(std::to_string(it) + "," + numero_csv(e.hist[it]) + "," + numero_csv(c.razao) + "," +
                    numero_csv(c.q) + "," + numero_csv(c.qmed) + erro(it));
    }
}

std::string historico_csv(const estado_execucao& e, const metodo_efetivo& metodo, std::span<const erro_iteracao> erros) {
    saida_texto s;
    escrever_historico_csv(e, metodo, s, erros);
    return s.texto;
}

namespace {
constexpr std::string_view primeiras_colunas = "caso,nm,nx,ny,nitm,tolt,";

// O erro contra a solução exata: vazio quando o problema não tem solução exata, como as cifras que não se aplicam.
std::string erro_csv(const metodo_efetivo& m, double v) {
    return m.solucao_exata && std::isfinite(v) ? numero_csv(v) : std::string();
}
}

// Colunas novas entram sempre no fim: scripts leem as antigas pela posição.
std::string cabecalho_resumo() {
    return std::string(primeiras_colunas) + "problema,tipo_ci,niter,razao_final,qmed_final,cpu_s,relogio_s,"
           "erro_max,erro_medio,convergiu,data_hora," + cabecalho_colunas_metodo() + "," + cabecalho_colunas_cifras() +
           "," + cabecalho_colunas_problema() + ",veredito,estudo," + cabecalho_colunas_grosso() + "\r\n";
}

// O caso vai em UTF-8, como todo o arquivo, e com o apóstrofo das planilhas quando parece uma fórmula; um número que não é finito (a razão 0/0 de uma grade sem incógnitas,
// a norma que estourou) fica vazio, como as cifras que não se aplicam: o veredito diz o que houve.
std::string linha_resumo(const estado_execucao& e, const cifras_rodada& cifras, const metodo_efetivo& metodo,
                         const std::string& estudo) {
    const quocientes f = finais(e);
    const erro_exato& erro = cifras.erro;
    const auto numero = [](double v) { return std::isfinite(v) ? numero_csv(v) : std::string(); };
    return texto_csv(utf8(sem_brancos_finais(e.caso))) + "," + std::to_string(e.nm) + "," +
           std::to_string(e.nxg[e.nm] - 2) + "," + std::to_string(e.nyg[e.nm] - 2) + "," + std::to_string(e.nitm) +
           "," + numero_csv(e.tolt) + "," + std::to_string(e.problema) + "," + std::to_string(e.tipo_ci) + "," +
           std::to_string(e.niter) + "," + numero(f.razao) + "," + numero(f.qmed) + "," + numero_csv(e.tcpu) +
           "," + numero_csv(e.tparede) + "," + erro_csv(metodo, erro.maximo) + "," + erro_csv(metodo, erro.medio) + "," +
           (e.veredito_final == veredito::convergiu ? "1" : "0") + "," + e.texto_iso + "," + colunas_metodo(e, metodo) +
           "," + colunas_cifras(e, cifras) + "," + colunas_problema(metodo) + "," + nome_do_veredito(e.veredito_final) +
           "," + texto_csv(estudo) + "," + colunas_grosso(e, metodo) + "\r\n";
}

bool cabecalho_de_resumo(std::string_view linha) { return linha.starts_with(primeiras_colunas); }

void anexar_resumo(const std::string& arquivo, const std::string& linha) {
    const falha_arquivo f =
        anexar_sob_trava(arquivo, [&](bool vazio) { return vazio ? cabecalho_resumo() + linha : linha; });
    if (f) falha_de_arquivo(f.codigo == EINVAL ? "cannot open" : "write error", "--summary", arquivo, f);
}
