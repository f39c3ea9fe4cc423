// Estudo paramétrico: muitas rodadas de uma vez. As combinações das varreduras e o nome seguro da listagem de cada
// uma, os filhos (o próprio programa, sem shell) que as executam até -j de uma vez, o resumo lido de volta e a
// tabela do estudo com as suas séries; ou, com --commands, um comando de shell por rodada. Acima de run/.
#pragma once

#include <string>
#include <vector>

#include "run/opcoes.h"
#include "state/tabela_estudo.h"

// Uma rodada de um estudo: uma combinação dos valores das varreduras.
struct rodada_estudo {
    std::vector<std::size_t> indices;      // posição do valor de cada varredura na sua lista
    std::string listagem;                  // caso da rodada, o nome da sua listagem
    std::vector<alteracao_entrada> alteracoes; // --set da rodada (as dadas, as varridas e caso, nesta ordem)
    std::vector<std::string> argumentos;   // a linha de comando do filho, sem o programa
};

/// Listagem de uma rodada: caso sem ".lst", "-NOMEvalor" por varredura (o número do valor na lista quando ele tem
/// algo fora de [A-Za-z0-9._+-]) e ".lst"; só caracteres seguros; mais de 50 caracteres: a base e "-rN".
std::string nome_da_rodada(const std::string& caso, const std::vector<varredura>& v,
                           const std::vector<std::size_t>& indices, std::size_t numero);
/// As combinações, a primeira varredura no laço de fora, cada uma com a listagem e os argumentos do filho
/// (-n -j 1, as opções de método, os --set, --summary e a entrada depois de "--").
std::vector<rodada_estudo> planejar_estudo(const opcoes_execucao& o, const std::string& caso);
/// Coluna do resumo de um parâmetro do estudo (nm -> nm, nxg -> nx, smoother -> suavizador...); vazio se não há.
std::string coluna_do_parametro(const std::string& nome);

// Um resumo lido de volta: o cabeçalho e as linhas, campo a campo.
struct resumo_lido {
    std::vector<std::string> colunas;
    std::vector<std::vector<std::string>> linhas;
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

/// O estudo inteiro (--sweep, --commands, --study-table); devolve o código de saída.
int executar_estudo(const opcoes_execucao& o);
