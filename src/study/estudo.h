// Estudo paramétrico: muitas rodadas de uma vez. As combinações das varreduras e o nome seguro da listagem de cada
// uma, os filhos (o próprio programa, sem shell) que as executam até -j de uma vez, o resumo lido de volta e a
// tabela do estudo com as suas séries; ou, com --commands, um comando de shell por rodada. Acima de run/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/execucao.h"
#include "run/opcoes.h"
#include "state/tabela_estudo.h"

// Uma rodada de um estudo: uma combinação dos valores das varreduras.
struct rodada_estudo {
    std::vector<std::size_t> indices;          // posição do valor de cada varredura na sua lista
    std::string listagem;                      // caso da rodada, o nome da sua listagem
    std::vector<alteracao_entrada> alteracoes; // --set varridos e caso, nesta ordem (depois dos --set dados)
    std::vector<std::string> argumentos;       // a linha de comando do filho, sem o programa e sem a entrada (o
                                               // último é "--")
    long long memoria = 0;                     // bytes do plano de memória da rodada
};

/// Assinatura de uma rodada: 10 algarismos hexadecimais do FNV-1a dos seus valores (menos caso), das opções do
/// método (a última de cada nome) e do conjunto de caracteres da listagem; rodadas diferentes, assinaturas diferentes.
std::string assinatura_da_rodada(const estado_execucao& e, const std::vector<alteracao_entrada>& metodo, bool utf8);
/// Listagem de uma rodada: caso sem ".lst", "-NOMEvalor" por varredura (o número do valor na lista quando ele tem
/// algo fora de [A-Za-z0-9._+-]), "-" e a assinatura e ".lst"; só caracteres seguros. Mais de 50 caracteres: o nome
/// do arquivo (nunca a pasta) e depois os valores encurtam; a assinatura fica.
std::string nome_da_rodada(const std::string& caso, const std::vector<varredura>& v,
                           const std::vector<std::size_t>& indices, const std::string& assinatura);
/// As combinações, a primeira varredura no laço de fora, cada uma conferida sobre os valores lidos uma vez (`base`,
/// com os --set dados): tamanhos (erro_fatal antes de qualquer filho), plano de memória, listagem e argumentos do filho
/// (-n -j 1, as opções de método, os --set, --summary, --study-id `estudo` e "--").
std::vector<rodada_estudo> planejar_estudo(const opcoes_execucao& o, const estado_execucao& base,
                                           const std::string& estudo);
/// Coluna do resumo de um parâmetro do estudo: a do mesmo nome (nm, nxg, smoother, ...); vazio se não há.
std::string coluna_do_parametro(const std::string& nome);

// Um resumo lido de volta: as colunas guardadas e as linhas, com os campos de todas num texto só (a memória é a do
// texto guardado, mais um deslocamento por campo).
class resumo_lido {
public:
    resumo_lido() = default;
    explicit resumo_lido(std::vector<std::string> c) : colunas(std::move(c)) {}
    std::vector<std::string> colunas;

    /// Acrescenta uma linha com um campo por coluna (os que faltam ficam vazios, os que sobram são ignorados).
    void acrescentar(const std::vector<std::string>& campos);
    std::size_t linhas() const { return colunas.empty() ? 0 : fins_.size() / colunas.size(); }
    std::string_view campo(std::size_t linha, std::size_t coluna) const {
        const std::size_t k = linha * colunas.size() + coluna;
        const std::size_t a = k == 0 ? 0 : fins_[k - 1];
        return std::string_view(texto_).substr(a, fins_[k] - a);
    }
    /// A linha inteira (para testes e mensagens).
    std::vector<std::string> linha(std::size_t i) const;

private:
    std::string texto_;
    std::vector<std::size_t> fins_; // fim de cada campo em texto_, linha a linha
};
/// Campos de uma linha CSV (entre aspas, aspas dobradas valem uma), sem o fim de linha.
std::vector<std::string> campos_csv(const std::string& linha);
/// Bytes do arquivo de resumo (0 se ainda não existe).
long long tamanho_do_resumo(const std::string& arquivo);
/// O cabeçalho (primeira linha) e as linhas que começam a partir do byte `desde`; outros cabeçalhos (resumos
/// concatenados) são pulados; erro_fatal se o arquivo não abre ou não é um resumo.
resumo_lido ler_resumo(const std::string& arquivo, long long desde = 0);
/// A tabela das linhas escolhidas (na ordem dada): parâmetros que variam (`preferidos` primeiro), eixo, séries,
/// ordem observada entre grades sucessivas e a inclinação do erro contra h de cada série.
tabela_estudo montar_tabela(const resumo_lido& r, const std::vector<std::size_t>& escolhidas,
                            const std::vector<std::string>& preferidos);

/// Pode mais uma rodada de `precisa` bytes começar agora? Sem nenhuma viva, sempre (uma que não cabe recusa-se
/// sozinha, com a mensagem); senão, até `maximo` ao mesmo tempo e enquanto a soma dos planos couber em `disponivel`
/// (negativo: não se sabe).
bool cabe_mais_uma(int vivas, long long em_uso, long long precisa, int maximo, long long disponivel);
// O que os filhos de um estudo deram.
struct fim_das_rodadas {
    std::vector<bool> feitas;  // rodadas com listagem e linha gravadas
    int falhas = 0, divergidas = 0;
};
/// Os filhos (cada um lê a cópia da entrada na sua entrada padrão), até `maximo` ao mesmo tempo e no máximo o que a
/// memória comporta; um fork recusado espera e tenta de novo. Um sinal de término para os lançamentos, chega aos
/// filhos vivos e, depois de esperá-los, termina o placa por ele.
fim_das_rodadas executar_rodadas(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas,
                                 const std::string& entrada, const std::string& estudo, long long desde, int maximo);
/// Se a linha do estudo `estudo` com o caso `caso` entrou no resumo depois do byte `desde`.
bool rodada_gravada(const std::string& resumo, long long desde, const std::string& estudo, const std::string& caso);

/// O estudo inteiro (--sweep, --commands, --study-table); devolve o código de saída.
int executar_estudo(const opcoes_execucao& o);
