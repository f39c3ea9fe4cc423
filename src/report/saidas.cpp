// Saídas para planilhas e scripts: o histórico em CSV e a anexação da linha do resumo, sempre em UTF-8.
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
                            std::span<const erro_iteracao> erros, std::span<const normas_iteracao> normas) {
    const bool com_erros = !erros.empty();
    // erro algébrico da iteração it, quando pedido (vazio se não foi medido ou não há solução discreta exata)
    const auto erro = [&](long long it) {
        if (!com_erros) return std::string();
        const auto i = static_cast<std::size_t>(it);
        const erro_iteracao x = i < erros.size() ? erros[i] : erro_iteracao{};
        return "," + (std::isfinite(x.maximo) ? numero_csv(x.maximo) : std::string()) + "," +
               (std::isfinite(x.medio) ? numero_csv(x.medio) : std::string());
    };
    // as normas L2 e máxima do resíduo e a estimativa do método de Krylov, no fim da linha, quando medidas
    const auto norma = [&](long long it) {
        if (normas.empty()) return std::string();
        const auto i = static_cast<std::size_t>(it);
        const normas_iteracao x = i < normas.size() ? normas[i] : normas_iteracao{};
        const auto n = [](double v) { return std::isfinite(v) ? numero_csv(v) : std::string(); };
        return "," + n(x.l2) + "," + n(x.maximo) + "," + n(x.krylov);
    };
    // as opções que vieram depois das normas fecham a linha
    const std::string posterior_csv = "," + colunas_posterior(metodo);
    // o método em colunas, o mesmo em toda linha (como o resumo o escreve)
    const std::string metodo_csv =
        "," + colunas_metodo(metodo) + "," + colunas_problema(metodo) + "," + colunas_grosso(metodo);
    saida.linha(std::string("iteracao,L1(R),L1(R)i/L1(R)o,q,qmed") +
                (com_erros ? ",erro_algebrico_max,erro_algebrico_medio" : "") + "," + cabecalho_colunas_metodo() + "," +
                cabecalho_colunas_problema() + "," + cabecalho_colunas_grosso() +
                (normas.empty() ? "" : ",L2(R),max(R),L2(R)_krylov") + "," + cabecalho_colunas_posterior());
    saida.linha("0," + numero_csv(e.hist[0]) + ",1,," + erro(0) + metodo_csv + norma(0) + posterior_csv);
    for (long long it = 1; it <= e.niter; ++it) {
        const quocientes c = da_iteracao(e, it);
        saida.linha(std::to_string(it) + "," + numero_csv(e.hist[it]) + "," + numero_csv(c.razao) + "," +
                    numero_csv(c.q) + "," + numero_csv(c.qmed) + erro(it) + metodo_csv + norma(it) +
                    posterior_csv);
    }
}

std::string historico_csv(const estado_execucao& e, const metodo_efetivo& metodo, std::span<const erro_iteracao> erros,
                          std::span<const normas_iteracao> normas) {
    saida_texto s;
    escrever_historico_csv(e, metodo, s, erros, normas);
    return s.texto;
}

void anexar_resumo(const std::string& arquivo, const std::string& linha) {
    const falha_arquivo f =
        anexar_sob_trava(arquivo, [&](bool vazio) { return vazio ? cabecalho_resumo() + linha : linha; });
    if (f) falha_de_arquivo(f.codigo == EINVAL ? "cannot open" : "write error", "--summary", arquivo, f);
}
